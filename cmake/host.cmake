# The host build: the same core over the Linux sandbox, qxpack, tests,
# benchmarks and fuzzers.
option(QX_SANITIZE "Build the host targets with AddressSanitizer and UBSan" OFF)
option(QX_FUZZ "Build the libFuzzer targets (needs clang)" OFF)

if(QX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

set(QX_HOST_PLATFORM_SOURCES
  src/platform/host/sandbox.cpp
  src/platform/host/platform_host.cpp
  src/platform/host/registry_file.cpp
  src/platform/host/ui_host.cpp
)
add_library(qxcore STATIC ${QX_CORE_SOURCES} ${QX_HOST_PLATFORM_SOURCES})
target_include_directories(qxcore PUBLIC src)
target_compile_options(qxcore PRIVATE ${QX_WARNINGS})

# Authoring side: the encoder and the setup-file model, never in the stub.
add_library(qxauthor STATIC
  src/payload/lzhuf_encode.cpp
  src/payload/lzhuf_match.cpp
  src/payload/record_writer.cpp
  src/authoring/script_text.cpp
  src/authoring/script_lint.cpp
  src/authoring/stored_names.cpp
  src/authoring/dos_stamp.cpp
  src/authoring/setup_file.cpp
  src/authoring/builder.cpp
  src/authoring/unpack.cpp
)
target_include_directories(qxauthor PUBLIC src)
target_link_libraries(qxauthor PUBLIC qxcore)
target_compile_options(qxauthor PRIVATE ${QX_WARNINGS})

add_subdirectory(tools/qxpack)

include(CTest)
if(BUILD_TESTING)
  add_subdirectory(tests)
endif()
add_subdirectory(bench)
if(QX_FUZZ)
  add_subdirectory(fuzz)
endif()
