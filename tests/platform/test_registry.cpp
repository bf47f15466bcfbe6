// The settings store as the program sees it: types, names, order, trees, transactions.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "test_registry_tempdir.h"

using platform::Registry;
using platform::RegValue;
using trellan_test::TempDir;

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string file = dir.file("Trellan.reg");
  std::vector<std::string> errors;
  Registry reg{file, [this](const std::string& m) { errors.push_back(m); }};

  // A second object on the same file: what another start of the program would see.
  std::unique_ptr<Registry> reopen() {
    return std::make_unique<Registry>(file, [this](const std::string& m) { errors.push_back(m); });
  }
};

using Names = std::vector<std::string>;

Names valueNames(const Registry& r, std::string_view key) {
  Names names;
  for (const auto& [n, v] : r.values(key)) names.push_back(n);
  return names;
}

}  // namespace

TEST_F(RegistryTest, ValuesAreTypedAndMissingIsNotEmpty) {
  ASSERT_TRUE(reg.setDword("General", "RunIndex", 7));
  ASSERT_TRUE(reg.setString("General", "CurrentView", ""));
  auto again = reopen();
  for (const Registry* r : {&reg, again.get()}) {
    EXPECT_EQ(r->getDword("General", "RunIndex"), 7u);
    EXPECT_EQ(r->getString("General", "RunIndex"), std::nullopt);  // a dword is not a string
    EXPECT_EQ(r->getString("General", "CurrentView"), std::string());
    EXPECT_EQ(r->getDword("General", "CurrentView"), std::nullopt);
    EXPECT_EQ(r->getString("General", "Location"), std::nullopt);
    EXPECT_EQ(r->getString("General", "CurrentView", "All Print Servers"), "");
    EXPECT_EQ(r->getString("General", "Location", "fallback"), "fallback");
    EXPECT_EQ(r->getDword("General", "Missing", 150u), 150u);
    EXPECT_EQ(r->getDword("General", "CurrentView", 150u), 150u);
    EXPECT_EQ(r->value("General", "RunIndex"), RegValue::ofDword(7));
    EXPECT_EQ(r->value("Nowhere", "RunIndex"), std::nullopt);
  }
  // Changing the type of a value replaces it.
  ASSERT_TRUE(reg.setString("General", "RunIndex", "seven"));
  EXPECT_EQ(reopen()->getString("General", "RunIndex"), "seven");
  ASSERT_TRUE(reg.setDword("General", "Big", 0xFFFFFFFFu));
  EXPECT_EQ(reopen()->getDword("General", "Big"), 0xFFFFFFFFu);
}

TEST_F(RegistryTest, NamesKeepCaseButCompareWithoutIt) {
  ASSERT_TRUE(reg.setDword("General\\Icons", "Warning", 9185));
  ASSERT_TRUE(reg.setDword("GENERAL\\icons", "WARNING", 1));  // same key, same value
  EXPECT_EQ(reg.getDword("general\\ICONS", "warning"), 1u);
  auto again = reopen();
  EXPECT_EQ(again->subKeys(""), Names{"General"});
  EXPECT_EQ(again->subKeys("general"), Names{"Icons"});
  EXPECT_EQ(valueNames(*again, "General\\Icons"), Names{"Warning"});  // first spelling stays
  EXPECT_TRUE(again->keyExists("gEnErAl\\IcOnS"));
}

TEST_F(RegistryTest, SlashIsAnOrdinaryCharacter) {
  ASSERT_TRUE(reg.setDword("Views\\TCP/IP", "Type", 2));
  ASSERT_TRUE(reg.setDword("Views\\TCP/IP\\Lab 2/3", "Type", 6));
  ASSERT_TRUE(reg.setString("Access\\IP", "10.0.0.1/24Get", "public"));
  auto again = reopen();
  EXPECT_EQ(again->subKeys("Views"), Names{"TCP/IP"});
  EXPECT_EQ(again->subKeys("Views\\TCP/IP"), Names{"Lab 2/3"});
  EXPECT_FALSE(again->keyExists("Views\\TCP"));
  EXPECT_EQ(again->getString("Access\\IP", "10.0.0.1/24Get"), "public");
}

TEST_F(RegistryTest, EnumerationFollowsCreationOrder) {
  for (const char* name : {"Zeta", "alpha", "Mid", "Beta"}) {
    ASSERT_TRUE(reg.createKey(std::string("Views\\") + name));
    ASSERT_TRUE(reg.setDword("General", name, 1));
  }
  ASSERT_TRUE(reg.setDword("General", "alpha", 2));  // rewriting keeps the place
  const Names order{"Zeta", "alpha", "Mid", "Beta"};
  auto again = reopen();
  for (const Registry* r : {&reg, again.get()}) {
    EXPECT_EQ(r->subKeys("Views"), order);
    EXPECT_EQ(valueNames(*r, "General"), order);
  }
  // A deleted and re-created name goes to the end.
  ASSERT_TRUE(reg.deleteTree("Views\\Zeta"));
  ASSERT_TRUE(reg.createKey("Views\\Zeta"));
  EXPECT_EQ(reopen()->subKeys("Views"), (Names{"alpha", "Mid", "Beta", "Zeta"}));
}

TEST_F(RegistryTest, KeysWithoutValuesPersist) {
  ASSERT_TRUE(reg.createKey("Views\\Empty Folder\\Inner"));
  auto again = reopen();
  EXPECT_TRUE(again->keyExists("Views\\Empty Folder\\Inner"));
  EXPECT_TRUE(again->values("Views\\Empty Folder").empty());
  EXPECT_TRUE(again->subKeys("Views\\Missing").empty());
}

TEST_F(RegistryTest, DeleteRemovesWholeTrees) {
  ASSERT_TRUE(reg.setDword("Views\\A", "Type", 1));
  ASSERT_TRUE(reg.setDword("Views\\A\\B\\C", "Type", 6));
  ASSERT_TRUE(reg.setDword("Views\\AB", "Type", 6));
  ASSERT_TRUE(reg.setString("Views\\A", "Keep", "x"));
  ASSERT_TRUE(reg.deleteValue("Views\\A", "keep"));
  EXPECT_EQ(reg.getString("Views\\A", "Keep"), std::nullopt);
  EXPECT_TRUE(reg.deleteValue("Views\\A", "NeverThere"));
  EXPECT_TRUE(reg.deleteValue("No\\Such\\Key", "x"));

  ASSERT_TRUE(reg.deleteTree("views\\a"));
  auto again = reopen();
  EXPECT_FALSE(again->keyExists("Views\\A"));
  EXPECT_FALSE(again->keyExists("Views\\A\\B\\C"));
  EXPECT_TRUE(again->keyExists("Views\\AB"));  // a name that only starts the same stays
  EXPECT_TRUE(reg.deleteTree("Views\\A"));     // already gone: still fine
}

TEST_F(RegistryTest, CopyMergesIntoTargetAndKeepsSource) {
  ASSERT_TRUE(reg.setDword("Views\\Old", "Type", 6));
  ASSERT_TRUE(reg.setString("Views\\Old", "Columns", "System Name,IP Address"));
  ASSERT_TRUE(reg.setString("Views\\Old\\Sub", "Dev0", "10.0.0.1"));
  ASSERT_TRUE(reg.setDword("Views\\New", "Type", 99));
  ASSERT_TRUE(reg.setDword("Views\\New", "Other", 5));

  ASSERT_TRUE(reg.copyTree("Views\\Old", "Views\\New"));
  auto again = reopen();
  EXPECT_EQ(again->getDword("Views\\New", "Type"), 6u);  // source wins
  EXPECT_EQ(again->getDword("Views\\New", "Other"), 5u);  // target's own value stays
  EXPECT_EQ(again->getString("Views\\New\\Sub", "Dev0"), "10.0.0.1");
  EXPECT_EQ(again->getString("Views\\Old\\Sub", "Dev0"), "10.0.0.1");  // source kept
  EXPECT_EQ(valueNames(*again, "Views\\New"), (Names{"Type", "Other", "Columns"}));

  // Into a new key, and up into its own parent (the source lies inside the target).
  ASSERT_TRUE(reg.copyTree("Views\\Old", "Moved\\Deep\\Old"));
  EXPECT_EQ(reg.getString("Moved\\Deep\\Old\\Sub", "Dev0"), "10.0.0.1");
  ASSERT_TRUE(reg.copyTree("Views\\Old\\Sub", "Views\\Old"));
  EXPECT_EQ(reg.getString("Views\\Old", "Dev0"), "10.0.0.1");
  EXPECT_EQ(reg.getString("Views\\Old\\Sub", "Dev0"), "10.0.0.1");
}

TEST_F(RegistryTest, CopyRefusesItsOwnSubtreeAndMissingSource) {
  ASSERT_TRUE(reg.setDword("Views\\Folder\\View", "Type", 6));
  const std::string before = trellan_test::readFile(file);
  const struct {
    const char* from;
    const char* to;
  } refused[] = {
      {"Views\\Folder", "Views\\Folder"},
      {"Views\\Folder", "views\\FOLDER"},
      {"Views\\Folder", "Views\\Folder\\View"},
      {"Views\\Folder", "Views\\Folder\\New\\Deeper"},
      {"", "Anything"},
      {"Views\\Missing", "Views\\Copy"},
      {"Views\\Folder", "Views\\\\Bad"},
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(reg.copyTree(c.from, c.to)) << c.from << " -> " << c.to;
  }
  EXPECT_EQ(trellan_test::readFile(file), before);
  EXPECT_TRUE(reg.keyExists("Views\\Folder\\View"));
  EXPECT_FALSE(reg.keyExists("Views\\Copy"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(RegistryTest, StringsRoundTripThroughTheFile) {
  std::string longText;
  for (int i = 0; i < 5000; ++i) longText += "row " + std::to_string(i) + "\r\n\"q\"\\";
  const std::vector<std::string> texts = {
      "",
      "C:\\Program Files\\Trellan\\",
      "say \"hi\"",
      "two\nlines\n",
      "windows\r\nlines",
      std::string("nul\0inside", 10),
      "caf\xe9 latin-1",
      "\xc3\xa9t\xc3\xa9 \xe2\x82\xac",
      longText,
      std::string(1u << 20, 'x'),  // the largest string accepted
  };
  for (std::size_t i = 0; i < texts.size(); ++i) {
    ASSERT_TRUE(reg.setString("Strings", "v" + std::to_string(i), texts[i])) << i;
  }
  auto again = reopen();
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(again->getString("Strings", "v" + std::to_string(i)), texts[i]) << "text " << i;
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(RegistryTest, OutOfBoundsWritesChangeNothing) {
  ASSERT_TRUE(reg.setDword("General", "RunIndex", 1));
  const std::string before = trellan_test::readFile(file);
  EXPECT_FALSE(reg.setString("General", "Huge", std::string((1u << 20) + 1, 'x')));
  EXPECT_FALSE(reg.setDword("a\\\\b", "v", 1));
  EXPECT_FALSE(reg.setDword("trailing\\", "v", 1));
  EXPECT_FALSE(reg.setDword(std::string(256, 'k'), "v", 1));
  EXPECT_FALSE(reg.setDword("line\nbreak", "v", 1));
  EXPECT_FALSE(reg.setDword("General", "line\nbreak", 1));
  EXPECT_FALSE(reg.setDword("General", "\xff", 1));
  EXPECT_FALSE(reg.createKey("bad\\\\path"));
  EXPECT_EQ(trellan_test::readFile(file), before);
  EXPECT_EQ(reg.getDword("General", "RunIndex"), 1u);
}

TEST_F(RegistryTest, RootSelectsTheSubtree) {
  EXPECT_EQ(reg.root(), "Software\\Quorvel\\Trellan");
  ASSERT_TRUE(reg.setDword("General", "Log", 1));
  EXPECT_NE(trellan_test::readFile(file).find("[HKEY_CURRENT_USER\\Software\\Quorvel\\Trellan\\General]\n"
                                              "\"Log\"=dword:00000001\n"),
            std::string::npos);
  Registry other(file);
  other.setRoot("HKEY_CURRENT_USER\\Software\\Quorvel\\Other\\");
  EXPECT_EQ(other.root(), "Software\\Quorvel\\Other");
  EXPECT_EQ(other.getDword("General", "Log"), std::nullopt);
  ASSERT_TRUE(other.setDword("General", "Log", 2));
  EXPECT_EQ(reopen()->getDword("General", "Log"), 1u);
  other.setRoot("");
  EXPECT_EQ(other.subKeys(""), Names{"Software"});
  EXPECT_EQ(other.getDword("Software\\Quorvel\\Trellan\\General", "Log"), 1u);
}

TEST_F(RegistryTest, TransactionWritesAllOrNothing) {
  ASSERT_TRUE(reg.setDword("General", "Keep", 1));
  bool ok = reg.transaction([](Registry& tx) {
    EXPECT_EQ(tx.getDword("General", "Keep"), 1u);  // the view starts from the file
    tx.setDword("Timeouts", "GetTimeout", 500);
    tx.setDword("Timeouts", "SetTimeout", 600);
    tx.deleteValue("General", "Keep");
    EXPECT_EQ(tx.getDword("Timeouts", "SetTimeout"), 600u);  // the view sees its own changes
    return true;
  });
  ASSERT_TRUE(ok);
  auto again = reopen();
  EXPECT_EQ(again->getDword("Timeouts", "GetTimeout"), 500u);
  EXPECT_EQ(again->getDword("Timeouts", "SetTimeout"), 600u);
  EXPECT_EQ(again->getDword("General", "Keep"), std::nullopt);
  EXPECT_EQ(reg.getDword("Timeouts", "SetTimeout"), 600u);

  const std::string before = trellan_test::readFile(file);
  EXPECT_FALSE(reg.transaction([](Registry& tx) {
    tx.deleteTree("Timeouts");
    return false;
  }));
  EXPECT_EQ(trellan_test::readFile(file), before);
  EXPECT_EQ(reg.getDword("Timeouts", "GetTimeout"), 500u);

  // A nested transaction on the view that fails undoes only its own changes.
  ASSERT_TRUE(reg.transaction([](Registry& tx) {
    tx.setDword("General", "A", 1);
    EXPECT_FALSE(tx.transaction([](Registry& inner) {
      inner.setDword("General", "B", 2);
      return false;
    }));
    EXPECT_EQ(tx.getDword("General", "B"), std::nullopt);
    return true;
  }));
  EXPECT_EQ(reopen()->getDword("General", "A"), 1u);
}

TEST_F(RegistryTest, WritesBesideTheTransactionAreRefusedNotDeadlocked) {
  auto second = reopen();
  bool ok = reg.transaction([&](Registry& tx) {
    tx.setDword("General", "Inside", 1);
    EXPECT_FALSE(reg.setDword("General", "Outer", 1));      // this object, not its view
    EXPECT_FALSE(second->setDword("General", "Other", 1));  // another object on the same file
    return true;
  });
  EXPECT_TRUE(ok);
  auto again = reopen();
  EXPECT_EQ(again->getDword("General", "Inside"), 1u);
  EXPECT_EQ(again->getDword("General", "Outer"), std::nullopt);
  EXPECT_EQ(again->getDword("General", "Other"), std::nullopt);
  EXPECT_EQ(errors.size(), 2u);
}

TEST_F(RegistryTest, StoreNeverGrowsBeyondWhatItCanReadBack) {
  // Line breaks force the hex form: about 6 bytes of file per byte of text.
  const std::string text(1u << 20, '\n');
  ASSERT_TRUE(reg.setString("Big", "one", text));
  ASSERT_TRUE(reg.setString("Big", "two", text));
  EXPECT_FALSE(reg.setString("Big", "three", text));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("16 MiB"), std::string::npos) << errors[0];
  auto again = reopen();
  EXPECT_EQ(again->getString("Big", "two"), text);
  EXPECT_EQ(again->getString("Big", "three"), std::nullopt);
  EXPECT_EQ(errors.size(), 1u);  // the file read back without complaint
}
