#include "brisol/view_table.h"

#include <gtest/gtest.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace ORLIX {
namespace Portals {
namespace {

// Against std::unordered_map over keys that repeat, that differ in one
// character or in length only, an empty key, and a table that starts with no
// room and grows many times on the way.
TEST(ViewTable, AnswersAsAHashMapDoesWhileItGrows) {
  std::vector<std::string> keys{""};
  for (int i = 0; i < 5000; ++i) {
    keys.push_back("K" + std::to_string(i));
    keys.push_back("K" + std::to_string(i) + " ");
    keys.push_back("K" + std::to_string(i % 700));  // seen before from 700 on
  }
  for (const std::size_t room : {std::size_t(0), keys.size()}) {
    ViewTable table(room);
    std::unordered_map<std::string, std::size_t> expected;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      const auto inserted = expected.emplace(keys[i], i);
      EXPECT_EQ(table.emplace(keys[i], i), std::make_pair(inserted.first->second, inserted.second))
          << keys[i];
    }
    EXPECT_EQ(table.size(), expected.size());
    for (const auto& entry : expected) EXPECT_EQ(table.find(entry.first), entry.second) << entry.first;
    EXPECT_EQ(table.find("K5000"), ViewTable::npos);
    EXPECT_EQ(table.find("k1"), ViewTable::npos);
  }
  EXPECT_EQ(ViewTable().find(""), ViewTable::npos);
}

}  // namespace
}  // namespace Portals
}  // namespace ORLIX
