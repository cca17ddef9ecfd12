// Vendor property exchange through VantrelCtl.dll against the simulated driver.
#include <windows.h>

#include <vector>

#include "BoxWatcher.h"
#include "HandleCount.h"
#include "SimFixture.h"
#include "VantrelCtl.h"

namespace {


std::vector<uint32_t> Words(const PropertyBlock& block) { return std::vector<uint32_t>(block.words, block.words + 8); }

PropertyBlock Filled(DWORD value)
{
    PropertyBlock block;
    for (DWORD& word : block.words)
        word = value;
    return block;
}

// The expected wire form of a request for property `id`.
std::vector<uint8_t> RequestBytes(uint32_t id, uint32_t flags, const std::vector<uint32_t>& words)
{
    std::vector<uint8_t> bytes(kVendorSet, kVendorSet + 16);
    for (uint32_t word : std::vector<uint32_t>{id, flags})
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(word >> (8 * i)));
    for (size_t w = 0; w < 8; ++w)
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>((w < words.size() ? words[w] : 0) >> (8 * i)));
    return bytes;
}

class PropertyTest : public SimCameraTest {
protected:
    void SetUp() override
    {
        SimCameraTest::SetUp();
        ASSERT_EQ(1, InitialDll(&device_, 0));
        sim::ClearRequestLog();
    }
    void TearDown() override
    {
        UninitialDll(device_);
        SimCameraTest::TearDown();
    }

    DeviceHandle device_ = nullptr;
    BoxWatcher boxes_;
};

}  // namespace

TEST_F(PropertyTest, GetReturnsTheDriversWordsInOrder)
{
    StoreWords(kCamera, 5, {10, 11, 12, 13, 14, 15, 16, 0xFFFFFFFF});
    PropertyBlock block = Filled(0xCCCCCCCC);
    EXPECT_EQ(S_OK, CustomDefineProperty_Get(device_, 5, &block));
    EXPECT_EQ((std::vector<uint32_t>{10, 11, 12, 13, 14, 15, 16, 0xFFFFFFFF}), Words(block));
}

TEST_F(PropertyTest, SetSendsTheWordsInOrderAndLeavesTheCallersBlock)
{
    const PropertyBlock sent = {{1, 2, 3, 4, 5, 6, 7, 3}};
    PropertyBlock block = sent;
    EXPECT_EQ(S_OK, CustomDefineProperty_Set(device_, 9, &block));
    EXPECT_EQ(Words(sent), StoredWords(kCamera, 9));
    EXPECT_EQ(Words(sent), Words(block)) << "the driver writes into the buffer; the caller's block must not change";
}

TEST_F(PropertyTest, ExactBytesOfAGetAndASetOfProperty2)
{
    PropertyBlock block = Filled(0x5A5A5A5A);
    ASSERT_EQ(S_OK, CustomDefineProperty_Get(device_, 2, &block));
    block.words[7] = 3;
    ASSERT_EQ(S_OK, CustomDefineProperty_Set(device_, 2, &block));

    std::vector<sim::LoggedRequest> log = sim::ReadRequestLog();
    ASSERT_EQ(2u, log.size());
    for (const sim::LoggedRequest& request : log) {
        EXPECT_EQ(0x002F0003u, request.code);
        EXPECT_EQ(56u, request.outputLength);
    }
    EXPECT_EQ(RequestBytes(2, 1, {}), log[0].input) << "a get carries nothing in its value area";
    EXPECT_EQ(RequestBytes(2, 2, {0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 3}), log[1].input);
}

TEST_F(PropertyTest, WordsTheDriverLeavesUnwrittenReadAsZero)
{
    StoreWords(kCamera, 6, {7, 8, 9});  // the driver answers only three words
    PropertyBlock block = Filled(0xCCCCCCCC);
    EXPECT_EQ(S_OK, CustomDefineProperty_Get(device_, 6, &block));
    EXPECT_EQ((std::vector<uint32_t>{7, 8, 9, 0, 0, 0, 0, 0}), Words(block));
}

TEST_F(PropertyTest, DriverRejectionShowsTheBoxAndLeavesTheBlock)
{
    struct Case {
        sim::Operation operation;
        const char* text;
    } cases[] = {{sim::Operation::Get, "Cannot Get CustomDefineProperty !"},
                 {sim::Operation::Set, "Cannot Set CustomDefineProperty !"}};
    size_t seen = 0;
    for (const Case& c : cases) {
        sim::ForceStatus(c.operation, kRejected, 1);
        PropertyBlock block = Filled(0x77);
        HRESULT status = c.operation == sim::Operation::Get ? CustomDefineProperty_Get(device_, 2, &block)
                                                            : CustomDefineProperty_Set(device_, 2, &block);
        EXPECT_EQ(kRejected, status) << c.text;
        EXPECT_EQ(Words(Filled(0x77)), Words(block)) << c.text;
        ASSERT_TRUE(boxes_.WaitForBoxes(++seen, 5000)) << c.text;
        SeenBox box = boxes_.Boxes().back();
        EXPECT_EQ("ERROR", box.caption);
        EXPECT_EQ(c.text, box.text);
    }
    EXPECT_EQ((std::vector<uint32_t>{0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0}), StoredWords(kCamera, 2));
}

TEST_F(PropertyTest, NonZeroSuccessStatusIsPassedThrough)
{
    sim::ForceStatus(sim::Operation::Get, 1, 1);
    sim::ForceStatus(sim::Operation::Set, 0x7FFFFFFF, 1);
    PropertyBlock block = {};
    EXPECT_EQ(1, CustomDefineProperty_Get(device_, 2, &block));
    EXPECT_EQ(0x20u, block.words[0]) << "a success status copies the value back";
    EXPECT_EQ(0x7FFFFFFF, CustomDefineProperty_Set(device_, 2, &block));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(PropertyTest, NoDeviceOrNoTransportAnswers6WithoutBoxOrRequest)
{
    const PropertyBlock untouched = Filled(0x42);
    for (DeviceHandle handle : {static_cast<DeviceHandle>(nullptr), INVALID_HANDLE_VALUE}) {
        PropertyBlock block = untouched;
        EXPECT_EQ(ERROR_INVALID_HANDLE, CustomDefineProperty_Get(handle, 2, &block));
        EXPECT_EQ(ERROR_INVALID_HANDLE, CustomDefineProperty_Set(handle, 2, &block));
        EXPECT_EQ(Words(untouched), Words(block));
    }
    PropertyBlock block = untouched;
    EXPECT_EQ(ERROR_INVALID_PARAMETER, CustomDefineProperty_Get(device_, 2, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, CustomDefineProperty_Set(device_, 2, nullptr));

    // After the close the control entry is gone, even with a handle that looks valid.
    DeviceHandle stillLooksValid = device_;
    UninitialDll(device_);
    device_ = nullptr;
    EXPECT_EQ(ERROR_INVALID_HANDLE, CustomDefineProperty_Get(stillLooksValid, 2, &block));
    EXPECT_EQ(Words(untouched), Words(block));

    EXPECT_TRUE(sim::ReadRequestLog().empty());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(PropertyTest, CameraUnpluggedBetweenOpenAndGet)
{
    ASSERT_EQ("", sim::PlugCamera(kCamera, false));
    auto getWhileUnplugged = [this](size_t boxesSoFar) {
        PropertyBlock block = Filled(0x11);
        EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED), CustomDefineProperty_Get(device_, 2, &block));
        EXPECT_EQ(Words(Filled(0x11)), Words(block));
        ASSERT_TRUE(boxes_.WaitForBoxes(boxesSoFar + 1, 5000));
        EXPECT_EQ("Cannot Get CustomDefineProperty !", boxes_.Boxes().back().text);
        ASSERT_TRUE(boxes_.WaitForNoOpenBox(10000));
    };
    getWhileUnplugged(0);  // the process's first box allocates what it keeps
    long handles = CountProcessHandles();
    getWhileUnplugged(1);
    EXPECT_EQ(handles, CountProcessHandles());
}
