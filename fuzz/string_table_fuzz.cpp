// A string-table resource file merged into the table, then looked up and
// dumped. The table is emptied after each input so that a long run does not
// keep every key it ever saw, and so that an input's result does not depend
// on the ones before it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_support.h"
#include "portal/host/support.h"
#include "support/host_api.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // After each reset the library would load its shipped texts again before
  // taking the input; pointing it at a folder without them keeps every run
  // on the input alone (the shipped file is one of the seeds).
  setenv("ORLIX_SUPPORT_RESOURCES", fuzz::scratch().file("no-resources").c_str(), 1);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using ORLIX::Support::StringTable;
  using ORLIX::Support::StringTableAdmin;
  const std::string path = fuzz::scratch().write("input.tbl", data, size);
  std::string error;
  StringTableAdmin::loadFile(path, error);
  StringTable::lookup("Marking", ".Portal.err.openInputFile");
  StringTable::lookup("Brisol", ".Portal.msg.example");
  StringTable::dumpStringTableIdsAndMessages();
  StringTableAdmin::reset();
  return 0;
}
