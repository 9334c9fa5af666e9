#include "sample_setup.h"

namespace testing_support {

Bytes SetupWith(const std::string& script, const std::vector<FileSpec>& files) {
  std::vector<Bytes> records = {RecordFor({"setup.inf", ToBytes(script)}),
                                RecordFor({"License.txt", ToBytes("You may use Tool.\r\n")})};
  for (const FileSpec& file : files) records.push_back(RecordFor(file));
  return Concat(MinimalStub(), records);
}

std::vector<FileSpec> SampleFiles() {
  return {{"Tool.exe", ToBytes("MZ tool program")},
          {"x.dll", ToBytes("MZ tool library")},
          {"Help.txt", ToBytes("How to use Tool.")},
          {"sub\\readme.txt", ToBytes("Read me."), kDate, kTime, 0x21}};
}

}  // namespace testing_support
