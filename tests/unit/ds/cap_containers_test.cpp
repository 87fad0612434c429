// Capability containers and rules as a host meets them: the value lists it
// can choose from, the bytes of the containers it receives, what the source
// takes out of the containers it sends, and the special hosts.
#include "ds/twain/cap_containers.h"

#include "common/twain_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::vector<TW_UINT32> ValuesOf(TW_UINT16 cap) {
    const CapabilityValueList* list = FindValueList(cap);
    if (!list) return {};
    return {list->Values.begin(), list->Values.end()};
}

uint16_t Word(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint16_t>(b[at] | b[at + 1] << 8);
}

uint32_t Dword(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<uint32_t>(b[at]) | static_cast<uint32_t>(b[at + 1]) << 8 |
           static_cast<uint32_t>(b[at + 2]) << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// A host's TW_ONEVALUE as raw bytes.
std::vector<uint8_t> HostOneValue(TW_UINT16 itemType, TW_UINT32 item) {
    TW_ONEVALUE v{itemType, item};
    std::vector<uint8_t> b(sizeof v);
    std::memcpy(b.data(), &v, sizeof v);
    return b;
}

// A host's TW_ENUMERATION with 16-bit items, built field by field.
std::vector<uint8_t> HostEnumeration16(TW_UINT32 numItems, TW_UINT32 current,
                                       std::vector<uint16_t> items) {
    std::vector<uint8_t> b(14 + 2 * items.size());
    const TW_UINT16 type = TWTY_UINT16;
    const TW_UINT32 defaultIndex = 0;
    std::memcpy(&b[0], &type, 2);
    std::memcpy(&b[2], &numItems, 4);
    std::memcpy(&b[6], &current, 4);
    std::memcpy(&b[10], &defaultIndex, 4);
    if (!items.empty()) std::memcpy(&b[14], items.data(), 2 * items.size());
    return b;
}

}  // namespace

// ---- The lists a host chooses from ----------------------------------------

TEST(CapabilityLists, OfferTheFixedValuesWithTheirDefaults) {
    EXPECT_EQ(ValuesOf(ICAP_XFERMECH), (std::vector<TW_UINT32>{0, 1, 2}));
    EXPECT_EQ(ValuesOf(ICAP_PIXELTYPE), (std::vector<TW_UINT32>{0, 1, 2, 3}));
    EXPECT_EQ(ValuesOf(ICAP_UNITS), (std::vector<TW_UINT32>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(ValuesOf(ICAP_IMAGEFILEFORMAT), (std::vector<TW_UINT32>{0, 1, 2, 3}));
    EXPECT_EQ(ValuesOf(ICAP_XRESOLUTION), (std::vector<TW_UINT32>{72, 200, 300, 600}));
    EXPECT_EQ(ValuesOf(ICAP_SUPPORTEDSIZES), (std::vector<TW_UINT32>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

    EXPECT_EQ(FindValueList(ICAP_XFERMECH)->DefaultPosition, 2);  // memory
    EXPECT_EQ(FindValueList(ICAP_PIXELTYPE)->DefaultPosition, 0);
    EXPECT_EQ(FindValueList(ICAP_UNITS)->DefaultPosition, 0);
    EXPECT_EQ(FindValueList(ICAP_IMAGEFILEFORMAT)->DefaultPosition, 0);
    EXPECT_EQ(FindValueList(ICAP_XRESOLUTION)->DefaultPosition, 2);  // 300 dpi
    EXPECT_EQ(FindValueList(ICAP_SUPPORTEDSIZES)->DefaultPosition, 0);

    EXPECT_EQ(FindValueList(ICAP_XRESOLUTION)->ItemType, TWTY_UINT32);
    EXPECT_EQ(FindValueList(ICAP_PIXELTYPE)->ItemType, TWTY_UINT16);
}

TEST(CapabilityLists, BothResolutionsShareOneList) {
    EXPECT_EQ(FindValueList(ICAP_XRESOLUTION), FindValueList(ICAP_YRESOLUTION));
}

TEST(CapabilityLists, OtherCapabilitiesHaveNoList) {
    EXPECT_EQ(FindValueList(ICAP_PLANARCHUNKY), nullptr);
    EXPECT_EQ(FindValueList(CAP_XFERCOUNT), nullptr);
    EXPECT_EQ(FindValueList(CAP_FEEDERENABLED), nullptr);
}

TEST(CapabilityLists, HostValueFindsItsPositionOrNone) {
    const CapabilityValueList& res = *FindValueList(ICAP_XRESOLUTION);
    EXPECT_EQ(ListPosition(res, 600), 3);
    EXPECT_EQ(ListPosition(res, 72), 0);
    EXPECT_FALSE(ListPosition(res, 400));
    EXPECT_FALSE(ListPosition(*FindValueList(ICAP_SUPPORTEDSIZES), 9));
}

TEST(CapabilityLists, DamagedPositionReadsAsTheDefault) {
    const CapabilityValueList& res = *FindValueList(ICAP_XRESOLUTION);
    EXPECT_EQ(ListValue(res, 1), 200u);
    EXPECT_EQ(ListValue(res, 4), 300u);
    EXPECT_EQ(ListValue(res, 0xFFFF), 300u);
}

// ---- Containers the host receives -----------------------------------------

TEST(ContainersForTheHost, OneValueCarriesTypeThenItem) {
    const std::vector<uint8_t> b = OneValueBytes(TWTY_UINT32, 600);
    ASSERT_EQ(b.size(), 6u);
    EXPECT_EQ(Word(b, 0), TWTY_UINT32);
    EXPECT_EQ(Dword(b, 2), 600u);

    const std::vector<uint8_t> w = OneValueBytes(TWTY_UINT16, 0x12345678);
    EXPECT_EQ(Dword(w, 2), 0x5678u) << "a 16-bit item is cut to its word";
}

TEST(ContainersForTheHost, MinusOneTransferCountReadsAsMinusOneAtAnyWidth) {
    const std::vector<uint8_t> b = OneValueBytes(TWTY_INT16, static_cast<TW_UINT32>(-1));
    EXPECT_EQ(Word(b, 0), TWTY_INT16);
    EXPECT_EQ(static_cast<int16_t>(Word(b, 2)), -1);
    EXPECT_EQ(static_cast<int32_t>(Dword(b, 2)), -1);
}

TEST(ContainersForTheHost, BooleanAnswersAreWords) {
    const std::vector<uint8_t> b = OneValueBytes(TWTY_BOOL, 1);
    EXPECT_EQ(Word(b, 0), TWTY_BOOL);
    EXPECT_EQ(Dword(b, 2), 1u);
}

TEST(ContainersForTheHost, EnumerationOfPixelTypesPacksWords) {
    const CapabilityValueList& l = *FindValueList(ICAP_PIXELTYPE);
    const std::vector<uint8_t> b = EnumerationBytes(l.ItemType, l.Values, 2, 0);
    ASSERT_EQ(b.size(), 14u + 4 * 2);
    EXPECT_EQ(Word(b, 0), TWTY_UINT16);
    EXPECT_EQ(Dword(b, 2), 4u);   // NumItems
    EXPECT_EQ(Dword(b, 6), 2u);   // CurrentIndex
    EXPECT_EQ(Dword(b, 10), 0u);  // DefaultIndex
    for (uint16_t i = 0; i < 4; ++i) EXPECT_EQ(Word(b, 14 + 2 * i), i);
}

TEST(ContainersForTheHost, EnumerationOfResolutionsPacksDwords) {
    const CapabilityValueList& l = *FindValueList(ICAP_XRESOLUTION);
    const std::vector<uint8_t> b = EnumerationBytes(l.ItemType, l.Values, 3, 2);
    ASSERT_EQ(b.size(), 14u + 4 * 4);
    EXPECT_EQ(Dword(b, 6), 3u);
    EXPECT_EQ(Dword(b, 10), 2u);
    EXPECT_EQ(Dword(b, 14), 72u);
    EXPECT_EQ(Dword(b, 18), 200u);
    EXPECT_EQ(Dword(b, 22), 300u);
    EXPECT_EQ(Dword(b, 26), 600u);
}

TEST(ContainersForTheHost, EnumerationOfByteItemsPacksBytes) {
    const TW_UINT32 values[] = {1, 0x1FF};
    const std::vector<uint8_t> b = EnumerationBytes(TWTY_UINT8, values, 0, 0);
    ASSERT_EQ(b.size(), 16u);
    EXPECT_EQ(b[14], 1);
    EXPECT_EQ(b[15], 0xFF);
}

TEST(ContainersForTheHost, EnumerationRefusesTypesWithoutAnItemSize) {
    const TW_UINT32 values[] = {1};
    EXPECT_TRUE(EnumerationBytes(TWTY_BOOL, values, 0, 0).empty());
    EXPECT_TRUE(EnumerationBytes(TWTY_FIX32, values, 0, 0).empty());
    EXPECT_TRUE(EnumerationBytes(0x4242, values, 0, 0).empty());
}

TEST(ContainersForTheHost, ItemSizesCoverTheSixIntegerTypesOnly) {
    EXPECT_EQ(ContainerItemSize(TWTY_INT8), 1u);
    EXPECT_EQ(ContainerItemSize(TWTY_UINT8), 1u);
    EXPECT_EQ(ContainerItemSize(TWTY_INT16), 2u);
    EXPECT_EQ(ContainerItemSize(TWTY_UINT16), 2u);
    EXPECT_EQ(ContainerItemSize(TWTY_INT32), 4u);
    EXPECT_EQ(ContainerItemSize(TWTY_UINT32), 4u);
    EXPECT_EQ(ContainerItemSize(TWTY_BOOL), 0u);
    EXPECT_EQ(ContainerItemSize(TWTY_FIX32), 0u);
    EXPECT_EQ(ContainerItemSize(TWTY_STR32), 0u);
}

// ---- What the source takes from a host's container -------------------------

TEST(HostContainers, OneValueGivesItsItemAtTheTypeWidth) {
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_UINT32, 600)), 600u);
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_UINT16, 0xABCD0002)), 2u)
        << "a host that leaves garbage in the high word still sets its word";
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_UINT8, 0x00000158)), 0x58u);
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_INT16, 0x0000FFFF)), 0xFFFFu)
        << "a transfer count of -1 arrives as 0xFFFF";
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_INT8, 0xFFFFFFFF)), 0xFFu);
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_INT32, 0xFFFFFFFF)), 0xFFFFFFFFu);
}

TEST(HostContainers, FixedPointAndOtherTypesAreRefused) {
    const TW_UINT32 fix600 = Fix32ToUint32(DoubleToFix32(600.0));
    EXPECT_FALSE(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_FIX32, fix600)));
    EXPECT_FALSE(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_STR32, 1)));
    EXPECT_FALSE(ReadHostValue(TWON_ONEVALUE, HostOneValue(0xFFFF, 1)));
}

TEST(HostContainers, BooleanSwitchIsTakenAsAWord) {
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_BOOL, 1)), 1u);
    EXPECT_EQ(ReadHostValue(TWON_ONEVALUE, HostOneValue(TWTY_BOOL, 0xFFFF0000)), 0u);
    EXPECT_EQ(HostItemSize(TWTY_BOOL), 2u);
    EXPECT_EQ(HostItemSize(TWTY_FIX32), 0u);
    EXPECT_EQ(HostItemSize(TWTY_UINT32), 4u);
}

TEST(HostContainers, EnumerationGivesItsFirstItemWhateverItsCurrentIndex) {
    EXPECT_EQ(ReadHostValue(TWON_ENUMERATION, HostEnumeration16(3, 2, {1, 2, 3})), 1u);
    EXPECT_EQ(ReadHostValue(TWON_ENUMERATION, HostEnumeration16(1, 0, {2})), 2u);
}

TEST(HostContainers, EnumerationWithoutItemsIsRefused) {
    EXPECT_FALSE(ReadHostValue(TWON_ENUMERATION, HostEnumeration16(0, 0, {})));
    EXPECT_FALSE(ReadHostValue(TWON_ENUMERATION, HostEnumeration16(0, 0, {7})))
        << "an item present in the block does not count when NumItems says none";
}

TEST(HostContainers, EnumerationClaimingMoreItemsThanItsBlockHoldsIsRefused) {
    EXPECT_FALSE(ReadHostValue(TWON_ENUMERATION, HostEnumeration16(3, 0, {1, 2})));
    EXPECT_FALSE(ReadHostValue(TWON_ENUMERATION, HostEnumeration16(0xFFFFFFFF, 0, {1})))
        << "a count whose byte size wraps in 32 bits";
    EXPECT_FALSE(ReadHostValue(TWON_ENUMERATION, HostEnumeration16(0x80000001, 0, {1})));
}

TEST(HostContainers, BlocksTooSmallForTheirHeaderAreRefused) {
    std::vector<uint8_t> one = HostOneValue(TWTY_UINT16, 2);
    EXPECT_FALSE(ReadHostValue(TWON_ONEVALUE, std::span(one).first(5)));
    EXPECT_FALSE(ReadHostValue(TWON_ONEVALUE, std::span(one).first(1)));
    EXPECT_FALSE(ReadHostValue(TWON_ONEVALUE, std::span<const uint8_t>()));
    std::vector<uint8_t> e = HostEnumeration16(1, 0, {2});
    EXPECT_FALSE(ReadHostValue(TWON_ENUMERATION, std::span(e).first(13)));
    EXPECT_FALSE(ReadHostValue(TWON_ENUMERATION, std::span(e).first(15)));
}

TEST(HostContainers, OtherContainerTypesAreRefused) {
    const std::vector<uint8_t> b = HostOneValue(TWTY_UINT16, 2);
    EXPECT_FALSE(ReadHostValue(TWON_ARRAY, b));
    EXPECT_FALSE(ReadHostValue(TWON_RANGE, b));
    EXPECT_FALSE(ReadHostValue(0, b));
    EXPECT_FALSE(ReadHostValue(TWON_DONTCARE16, b));
}

// ---- Fixed answers --------------------------------------------------------

TEST(FixedAnswers, StandardHostGetsTheFixedDeviceFacts) {
    auto expect = [](TW_UINT16 cap, TW_UINT16 type, TW_UINT32 value) {
        std::optional<OneValueAnswer> a = StandardFixedAnswer(cap);
        ASSERT_TRUE(a) << TwainCapabilityName(cap);
        EXPECT_EQ(a->ItemType, type) << cap;
        EXPECT_EQ(OneValueBytes(a->ItemType, a->Value), OneValueBytes(type, value)) << cap;
    };
    expect(CAP_XFERCOUNT, TWTY_INT16, static_cast<TW_UINT32>(-1));
    expect(ICAP_COMPRESSION, TWTY_UINT16, 0);
    expect(CAP_INDICATORS, TWTY_BOOL, 0);
    expect(ICAP_FILTER, TWTY_UINT16, 3);
    expect(ICAP_LIGHTSOURCE, TWTY_UINT16, 4);
    expect(ICAP_PIXELFLAVOR, TWTY_BOOL, 0);
    expect(ICAP_PLANARCHUNKY, TWTY_UINT16, 1);
    EXPECT_FALSE(StandardFixedAnswer(ICAP_PIXELTYPE));
    EXPECT_FALSE(StandardFixedAnswer(CAP_AUTOFEED));
}

TEST(FixedAnswers, PublisherGetsFewerOfThem) {
    EXPECT_TRUE(PublisherFixedAnswer(CAP_XFERCOUNT));
    EXPECT_TRUE(PublisherFixedAnswer(ICAP_COMPRESSION));
    EXPECT_TRUE(PublisherFixedAnswer(ICAP_FILTER));
    EXPECT_TRUE(PublisherFixedAnswer(ICAP_LIGHTSOURCE));
    EXPECT_TRUE(PublisherFixedAnswer(ICAP_PIXELFLAVOR));
    EXPECT_FALSE(PublisherFixedAnswer(CAP_INDICATORS));
    EXPECT_FALSE(PublisherFixedAnswer(ICAP_PLANARCHUNKY));
}

// ---- The Publisher handler's own rules ------------------------------------

TEST(PublisherRules, RefusesTheImageCapabilitiesItDoesNotAnswer) {
    EXPECT_TRUE(PublisherRefusesCapability(0x1100));
    EXPECT_TRUE(PublisherRefusesCapability(0x1101));
    EXPECT_FALSE(PublisherRefusesCapability(0x1102));
    EXPECT_TRUE(PublisherRefusesCapability(0x1103));
    EXPECT_TRUE(PublisherRefusesCapability(ICAP_PLANARCHUNKY));
    EXPECT_TRUE(PublisherRefusesCapability(ICAP_SUPPORTEDSIZES));
    EXPECT_TRUE(PublisherRefusesCapability(0x112B));
    EXPECT_FALSE(PublisherRefusesCapability(0x112C));
    EXPECT_FALSE(PublisherRefusesCapability(0x10FF));
}

TEST(PublisherRules, LetsThroughWhatItAnswersOrLeavesOpen) {
    for (TW_UINT16 cap : {0x1106, 0x110B, 0x110C, 0x110E, 0x110F, 0x1115, 0x1118, 0x1119,
                          0x111F, 0x1129}) {
        EXPECT_FALSE(PublisherRefusesCapability(cap)) << std::hex << cap;
    }
    for (TW_UINT16 cap : {ICAP_PIXELTYPE, ICAP_UNITS, ICAP_XFERMECH, CAP_FEEDERENABLED,
                          CAP_AUTHOR}) {
        EXPECT_FALSE(PublisherRefusesCapability(cap)) << std::hex << cap;
    }
}

TEST(PublisherRules, DefaultsAreTheListHeadsMemoryAndTheCurrentResolution) {
    EXPECT_EQ(PublisherDefaultValue(ICAP_PIXELTYPE, 2), TWPT_BW);
    EXPECT_EQ(PublisherDefaultValue(ICAP_UNITS, 3), TWUN_INCHES);
    EXPECT_EQ(PublisherDefaultValue(ICAP_IMAGEFILEFORMAT, 2), TWFF_TIFF);
    EXPECT_EQ(PublisherDefaultValue(ICAP_XFERMECH, 0), TWSX_MEMORY);
    EXPECT_EQ(PublisherDefaultValue(ICAP_XRESOLUTION, 3), 600u);
    EXPECT_EQ(PublisherDefaultValue(ICAP_YRESOLUTION, 0), 72u);
}

TEST(PublisherRules, TextBlocksHaveTheStringSizes) {
    EXPECT_EQ(PublisherTextBlockSize(CAP_AUTHOR), 130u);
    EXPECT_EQ(PublisherTextBlockSize(CAP_CAPTION), 256u);
    EXPECT_EQ(PublisherTextBlockSize(CAP_TIMEDATE), 34u);
    EXPECT_EQ(PublisherTextBlockSize(ICAP_PIXELTYPE), 0u);
}

TEST(PublisherRules, TextBlockIsZeroPaddedAndAlwaysTerminated) {
    std::vector<uint8_t> b = TextBlockBytes("Kerno Scanners", 256);
    ASSERT_EQ(b.size(), 256u);
    EXPECT_STREQ(reinterpret_cast<const char*>(b.data()), "Kerno Scanners");
    EXPECT_EQ(b[255], 0);

    std::vector<uint8_t> cut = TextBlockBytes(std::string(40, 'x'), 34);
    ASSERT_EQ(cut.size(), 34u);
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(cut.data())), 33u);
}

TEST(PublisherRules, TimeAndDateReadLikeTheCLibrary) {
    EXPECT_EQ(TimeDateText({2026, 12, 7, 1, 22, 18, 7}), "Mon Dec  7 22:18:07 2026");
    EXPECT_EQ(TimeDateText({1999, 1, 31, 0, 0, 5, 59}), "Sun Jan 31 00:05:59 1999");
    EXPECT_LT(TimeDateText({2026, 12, 7, 1, 22, 18, 7}).size(), 34u);
}

TEST(PublisherRules, NonsenseCalendarFieldsStillGiveABoundedText) {
    const std::string s = TimeDateText({99999, 13, 99, 9, 99, 99, 99});
    EXPECT_LT(s.size(), 34u);
}

// ---- Host names -----------------------------------------------------------

TEST(HostNames, ProductNameMustMatchExactly) {
    TW_IDENTITY id{};
    std::strcpy(id.ProductName, "Microsoft Publisher");
    EXPECT_TRUE(ProductNameIs(id.ProductName, "Microsoft Publisher"));
    EXPECT_FALSE(ProductNameIs(id.ProductName, "Microsoft"));
    EXPECT_FALSE(ProductNameIs(id.ProductName, "microsoft publisher"));
    std::strcpy(id.ProductName, "Microsoft Publisher 2");
    EXPECT_FALSE(ProductNameIs(id.ProductName, "Microsoft Publisher"));
}

TEST(HostNames, UnterminatedNameIsReadWithinItsField) {
    struct {
        char name[34];
        char after[4];
    } field;
    std::memset(field.name, 'A', sizeof field.name);
    std::memset(field.after, 'A', sizeof field.after);
    EXPECT_TRUE(ProductNameIs(field.name, std::string(34, 'A')));
    EXPECT_FALSE(ProductNameIs(field.name, std::string(35, 'A')))
        << "the bytes after the field are not part of the name";
}

TEST(HostNames, MissingStringMatchesNoHost) {
    TW_IDENTITY id{};
    EXPECT_FALSE(ProductNameIs(id.ProductName, ""));
}

TEST(HostNames, FaxHostsScanTheThreeHundredPositionAtTwoHundred) {
    EXPECT_EQ(ResolutionOfPosition(2, true), 200);
    EXPECT_EQ(ResolutionOfPosition(2, false), 300);
    EXPECT_EQ(ResolutionOfPosition(0, true), 72);
    EXPECT_EQ(ResolutionOfPosition(3, true), 600);
    EXPECT_EQ(ResolutionOfPosition(1, false), 200);
}

TEST(StandardAnswers, ArraysFixedPointValuesAndTheGlass) {
    const std::vector<TW_UINT16> caps = {CAP_SUPPORTEDCAPS, ICAP_BITDEPTH};
    EXPECT_EQ(ArrayBytes(caps),
              (std::vector<uint8_t>{0x04, 0, 2, 0, 0, 0, 0x05, 0x10, 0x2B, 0x11}));

    const TW_UINT32 fix = Fix32ToUint32(DoubleToFix32(599.75));
    const std::vector<uint8_t> one = {0x07, 0, uint8_t(fix), uint8_t(fix >> 8), uint8_t(fix >> 16),
                                      uint8_t(fix >> 24)};
    ASSERT_TRUE(ReadHostFix32(TWON_ONEVALUE, one));
    EXPECT_DOUBLE_EQ(*ReadHostFix32(TWON_ONEVALUE, one), 599.75);
    EXPECT_FALSE(ReadHostFix32(TWON_ONEVALUE, std::span(one).first(5))) << "cut short";
    std::vector<uint8_t> other = one;
    other[0] = TWTY_UINT32;
    EXPECT_FALSE(ReadHostFix32(TWON_ONEVALUE, other)) << "another item type";
    EXPECT_FALSE(ReadHostFix32(TWON_ENUMERATION, one)) << "no room for an enumeration";

    EXPECT_EQ(BitDepthOf(TWPT_BW), 1);
    EXPECT_EQ(BitDepthOf(TWPT_GRAY), 8);
    EXPECT_EQ(BitDepthOf(TWPT_RGB), 8);
    EXPECT_DOUBLE_EQ(InchesInUnits(8.5, TWUN_INCHES, 300), 8.5);
    EXPECT_DOUBLE_EQ(InchesInUnits(8.5, TWUN_CENTIMETERS, 300), 21.59);
    EXPECT_DOUBLE_EQ(InchesInUnits(14, TWUN_PIXELS, 200), 2800);
    EXPECT_DOUBLE_EQ(InchesInUnits(1, TWUN_TWIPS, 0), 1440);

    const auto standard = SupportedCapabilities(false, true);
    EXPECT_NE(std::find(standard.begin(), standard.end(), CAP_FEEDERLOADED), standard.end());
    const auto publisher = SupportedCapabilities(true, true);
    EXPECT_EQ(std::find(publisher.begin(), publisher.end(), ICAP_SUPPORTEDSIZES), publisher.end());
}
