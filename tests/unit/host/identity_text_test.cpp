// Identities as twacquire prints them, and the identity it presents itself.
#include "host/twacquire/host_identity.h"
#include "host/twacquire/identity_text.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace twacquire;

namespace {

TW_IDENTITY ScannerIdentity() {
    TW_IDENTITY id{};
    id.Version.MajorNum = 3;
    id.Version.MinorNum = 12;
    std::strcpy(id.Version.Info, "build 77");
    id.ProtocolMajor = 1;
    id.ProtocolMinor = 5;
    std::strcpy(id.Manufacturer, "Acme Imaging");
    std::strcpy(id.ProductFamily, "Flatbeds");
    std::strcpy(id.ProductName, "Acme 600");
    return id;
}

}  // namespace

TEST(IdentityText, OneLinePerField) {
    EXPECT_EQ(FormatIdentity(ScannerIdentity()),
              "Product name:   Acme 600\n"
              "Manufacturer:   Acme Imaging\n"
              "Product family: Flatbeds\n"
              "Version:        3.12 (build 77)\n"
              "Protocol:       1.5\n");
}

TEST(IdentityText, VersionWithoutInfoHasNoParentheses) {
    TW_IDENTITY id = ScannerIdentity();
    id.Version.Info[0] = '\0';
    const std::string text = FormatIdentity(id);
    EXPECT_NE(text.find("Version:        3.12\n"), std::string::npos) << text;
}

TEST(IdentityText, FieldWithoutItsZeroEndsAtTheFieldEnd) {
    TW_IDENTITY id = ScannerIdentity();
    std::memset(id.ProductName, 'N', sizeof id.ProductName);
    const std::string text = FormatIdentity(id);
    EXPECT_NE(text.find("Product name:   " + std::string(sizeof id.ProductName, 'N') + "\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Manufacturer:   Acme Imaging\n"), std::string::npos)
        << "the next field is not run into";
}

TEST(HostIdentity, NamesTwacquireAndTheProtocolItSpeaks) {
    const TW_IDENTITY id = HostIdentity();
    EXPECT_EQ(id.Id, 0u) << "the manager gives the Id";
    EXPECT_STREQ(id.ProductName, "twacquire");
    EXPECT_EQ(id.ProtocolMajor, TWON_PROTOCOLMAJOR);
    EXPECT_EQ(id.ProtocolMinor, TWON_PROTOCOLMINOR);
    EXPECT_EQ(id.SupportedGroups & DG_IMAGE, DG_IMAGE);
}
