# qxsetup.exe: the 32-bit Windows stub. Plain Win32 over fixed buffers, so no
# C++ runtime is linked: no exceptions, no RTTI, no libstdc++ at run time.
# The same sources also build as a 64-bit program (preset win64) for the
# end-to-end tests on machines that can run only 64-bit Wine; that build is
# never shipped.
enable_language(RC)

add_executable(qxsetup WIN32
  ${QX_CORE_SOURCES}
  src/platform/win32/platform_win32.cpp
  src/ui/winmain.cpp
  src/ui/background_window.cpp
  src/ui/wizard.cpp
  res/qxsetup.rc
)
target_include_directories(qxsetup PRIVATE src)
target_compile_options(qxsetup PRIVATE
  $<$<COMPILE_LANGUAGE:CXX>:${QX_WARNINGS} -Os -fno-exceptions -fno-rtti
    -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-threadsafe-statics
    -ffunction-sections -fdata-sections -fno-stack-protector>)
target_compile_definitions(qxsetup PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0400)
# No C runtime start-up: StubEntry (src/ui/winmain.cpp) is the entry point.
# msvcrt.dll, part of every Windows, still supplies memcpy and the like that
# the compiler may call. A fixed image base needs no relocations.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(QX_ENTRY _StubEntry@0)
else()
  set(QX_ENTRY StubEntry)
endif()
target_link_options(qxsetup PRIVATE -s -mwindows -nostartfiles -nodefaultlibs -Wl,-e,${QX_ENTRY}
  -Wl,--gc-sections -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
target_link_libraries(qxsetup PRIVATE gcc msvcrt kernel32 user32 gdi32 advapi32 shell32 ole32 uuid comctl32 comdlg32)

add_custom_command(TARGET qxsetup POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DFILE=$<TARGET_FILE:qxsetup> -P ${CMAKE_SOURCE_DIR}/cmake/print_size.cmake
  VERBATIM)
