// The sample installation of the tests: four program files (one in a
// subdirectory), one DLL, two links and both offers.
#pragma once

#include <string>

#include "setup_builder.h"

namespace testing_support {

inline constexpr char kSampleScript[] =
    "[Install]\r\n"
    "DefDir=Tool\r\n"
    "AppName=Tool\r\n"
    "AppFile=Tool.exe\r\n"
    "AppBy=Tool Software Ltd.\r\n"
    "CompReg=ToolSoft\r\n"
    "VerNum=2.1\r\n"
    "FileNum=4\r\n"
    "dlla=x.dll\r\n"
    "Desk=1\r\n"
    "QLaunch=1\r\n"
    "\r\n"
    "[Links]\r\n"
    "linka=Tool.exe\r\n"
    "linkfilea=Tool.LNK\r\n"
    "linkb=Help.txt\r\n"
    "linkfileb=Tool Help.LNK\r\n"
    "Desca=Tool\r\n"
    "\r\n"
    "[Copymode]\r\n"
    "filea=1\r\n"
    "fileb=1\r\n"
    "filec=1\r\n"
    "filed=1\r\n"
    "\r\n";

// A setup file of the stub, the script, a licence and the given files.
Bytes SetupWith(const std::string& script, const std::vector<FileSpec>& files);

// The sample's four files: Tool.exe, x.dll, Help.txt and sub\readme.txt.
std::vector<FileSpec> SampleFiles();

}  // namespace testing_support
