// The package's ZEBINFO keys: a fresh machine gets every default, an
// upgrade keeps what the user set, and a removal takes away only what the
// package added and nobody changed since.
#include "installer/zebinfo_keys.h"

#include <gtest/gtest.h>

TEST(ZebinfoKeys, AFreshMachineGetsEveryDefaultAndTheVersion) {
    const std::vector<KeyWrite> writes = KeysToWrite({}, VersionText("1.0.0"));
    EXPECT_EQ(writes, (std::vector<KeyWrite>{{"DRIVER", "PAVO.DLL"},
                                             {"BRAND", "Tavlen"},
                                             {"LANGUAGE", "English"},
                                             {"DSLANGUAGE", "None"},
                                             {"VERSION", "V1.0"}}));
    EXPECT_EQ(VersionText("2.3.1"), "V2.3");
}

TEST(ZebinfoKeys, AnUpgradeKeepsTheUsersValuesAndRemovalTakesOnlyUnchangedOnes) {
    // The first install added everything; the user then chose German and
    // an empty DSLANGUAGE is a value too.
    const std::string record = RecordAdded("", KeysToWrite({}, "V1.0"));
    ZebinfoValues now{{"DRIVER", "PAVO.DLL"}, {"BRAND", "Tavlen"}, {"LANGUAGE", "German"},
                      {"DSLANGUAGE", ""}, {"VERSION", "V1.0"}};
    const std::vector<KeyWrite> upgrade = KeysToWrite(now, "V1.1");
    EXPECT_EQ(upgrade, (std::vector<KeyWrite>{{"VERSION", "V1.1"}})) << "only the version changes";
    now["VERSION"] = "V1.1";
    const std::string after = RecordAdded(record, upgrade);
    EXPECT_EQ(KeysToRemove(now, after), (std::vector<std::string>{"DRIVER", "BRAND", "VERSION"}));

    // Keys the machine had before the package are never the package's.
    const ZebinfoValues before{{"BRAND", "Acme"}};
    const std::string own = RecordAdded("", KeysToWrite(before, "V1.0"));
    ZebinfoValues installed{{"BRAND", "Acme"}, {"DRIVER", "PAVO.DLL"}};
    EXPECT_EQ(KeysToRemove(installed, own), (std::vector<std::string>{"DRIVER"}));
    EXPECT_TRUE(KeysToRemove(installed, "garbage;=;BRAND").empty()) << "a damaged record removes nothing";
}
