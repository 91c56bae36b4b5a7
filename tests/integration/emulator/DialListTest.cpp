#include <gtest/gtest.h>

#include <tuple>

#include "DeviceDialList.h"

namespace dialvane::emu {
namespace {

const DeviceConfig kExtended{true, true};
const DeviceConfig kNormal{false, false};

Bytes SpeedDialValue(const std::string& fax, std::size_t size) {
    Bytes value(size, 0);
    std::copy(fax.begin(), fax.end(), value.begin());
    value[52] = 0;
    value[53] = 'A';
    return value;
}

std::vector<FrameParam> SpeedDialParams(std::initializer_list<int> numbers, std::size_t size) {
    std::vector<FrameParam> params;
    for (int n : numbers) {
        params.push_back(FrameParam::Make(0x60, {static_cast<std::uint8_t>(n)}));
        params.push_back(FrameParam::Make(0x6F, SpeedDialValue(std::to_string(n), size)));
    }
    return params;
}

TEST(EmulatorDialList, RefusesRecordsTheDeviceCannotHoldAndStoresNoneOfTheMessage) {
    struct Case {
        const char* what;
        std::uint8_t mid;
        std::vector<FrameParam> params;
        DeviceConfig config;
    };
    const std::vector<Case> cases = {
        {"normal layout on an extended device", 0x7D, SpeedDialParams({1, 2}, 86), kExtended},
        {"speed dial 61 on a normal device", 0x7D, SpeedDialParams({5, 61}, 86), kNormal},
        {"speed dial 0", 0x7D, SpeedDialParams({0}, 104), kExtended},
        {"the same speed dial twice", 0x7D, SpeedDialParams({4, 4}, 104), kExtended},
        {"number without data", 0x7D, {FrameParam::Make(0x60, {1})}, kExtended},
        {"binding to group 21",
         0x77,
         {FrameParam::Make(0x60, {1}), FrameParam::Make(0x6D, {2, 21})},
         kExtended},
        {"long sender on a device without long names",
         0x61,
         {FrameParam::Make(0x66, Bytes(42, 0x41))},
         kNormal},
    };
    for (const Case& c : cases) {
        DeviceDialList list;
        const HandleResult result = list.Handle(c.mid, c.params, c.config, std::nullopt);
        EXPECT_FALSE(result.registered) << c.what;
        EXPECT_FALSE(result.problem.empty()) << c.what;
        EXPECT_EQ(list.Records('S').size() + list.Records('W').size() + list.Records('N').size(),
                  0u)
            << c.what;
        ASSERT_EQ(result.answerFrames.size(), 1u) << c.what;
        EXPECT_EQ(result.answerFrames[0].back(), kCauseRefused) << c.what;
    }
}

TEST(EmulatorDialList, ReportsRequestsWhoseParametersDifferFromTheBuiltInOnes) {
    DeviceDialList list;
    // The system parameter request travels with its 4-byte value byte-swapped in pairs.
    const auto sent = list.Handle(0x21, {FrameParam::Make(0x09, {0x00, 0x64, 0x00, 0x0F})},
                                  kExtended, std::nullopt);
    EXPECT_EQ(sent.problem, "");
    EXPECT_EQ(sent.answerFrames[0], (Bytes{0xC0, 0x21, 0, 5, 0, 3, 0x0F, 1, 0}));
    const auto unswapped = list.Handle(0x21, {FrameParam::Make(0x09, {0x64, 0x00, 0x0F, 0x00})},
                                       kExtended, std::nullopt);
    EXPECT_NE(unswapped.problem.find("unexpected parameters"), std::string::npos);

    EXPECT_NE(list.Handle(0x55, {}, kNormal, std::nullopt).problem.find("unknown message 55"),
              std::string::npos);
}

TEST(EmulatorAssembler, CollectsAMessageAndRejectsFramesOutOfPlace) {
    MessageAssembler assembler;
    const std::string first = {'\x80', '\x7D', 0, 5, 0, 6, '\x60', 1, 1};
    const std::string middle = {'\x00', '\x7D', 0, 0};
    const std::string last = {'\x40', '\x7D', 0, 3, '\x60', 1, 2};
    EXPECT_FALSE(assembler.Add(first).complete);
    EXPECT_FALSE(assembler.Add(middle).complete);
    const MessageAssembler::Step done = assembler.Add(last);
    EXPECT_EQ(done.problem, "");
    ASSERT_TRUE(done.complete);
    ASSERT_EQ(done.params.size(), 2u);
    EXPECT_EQ(done.params[1].value, Bytes{2});

    // Each frame out of place, after the frames before it.
    const std::vector<std::tuple<std::vector<std::string>, std::string, std::string>> faults = {
        {{}, last, "without a first frame"},
        {{first}, {'\x40', '\x7A', 0, 3, '\x60', 1, 2}, "inside message"},
        {{first}, {'\xC0', '\x7C', 0, 5, 0, 3, '\x60', 1, 0}, "left incomplete"},
        // LEN promised 6 parameter bytes, the frames carried 3 + 6.
        {{first}, {'\x40', '\x7D', 0, 6, '\x60', 1, 2, '\x60', 1, 3}, "LEN 6"},
        {{}, {'\xC0', '\x7C', 0, 5, 0, 4, '\x60', 1, 0}, "LEN 4"},
    };
    for (const auto& [before, frame, problem] : faults) {
        for (const std::string& earlier : before) {
            assembler.Add(earlier);
        }
        EXPECT_NE(assembler.Add(frame).problem.find(problem), std::string::npos) << problem;
    }
}

}  // namespace
}  // namespace dialvane::emu
