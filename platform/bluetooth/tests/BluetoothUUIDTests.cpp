#include "platform/bluetooth/BluetoothUUID.h"

#include <gtest/gtest.h>

#include <vector>

using platform::BluetoothUUID;

TEST(BluetoothUUID, TextFormListsTheBytesInOrderInUpperCase)
{
    auto uuid = BluetoothUUID::fromString("4f535452-4556-4f4d-6f62-696c65303030");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->uuidString(), "4F535452-4556-4F4D-6F62-696C65303030");
    EXPECT_EQ(uuid->data()[0], 0x4F);
    EXPECT_EQ(uuid->data()[15], 0x30);

    std::vector<std::uint8_t> bytes { 0x0C, 0x22, 0x38, 0x4E, 0x5A, 0x0C, 0x22, 0x38, 0x00, 0x20, 0x24, 0x05, 0x06, 0x13, 0x45, 0x07 };
    EXPECT_EQ(BluetoothUUID::fromData(bytes)->uuidString(), "0C22384E-5A0C-2238-0020-240506134507");
}

TEST(BluetoothUUID, OneMadeWithoutAValueIsAllZeros)
{
    EXPECT_EQ(BluetoothUUID().uuidString(), "00000000-0000-0000-0000-000000000000");
}

TEST(BluetoothUUID, RefusesMalformedTextAndWrongLengths)
{
    for (const char* text : { "", "4f535452-4556-4f4d-6f62-696c6530303", "4f535452-4556-4f4d-6f62-696c653030300",
             "4f5354524556-4f4d-6f62-696c65303030-", "4g535452-4556-4f4d-6f62-696c65303030", "4f535452 4556 4f4d 6f62 696c65303030" }) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(BluetoothUUID::fromString(text));
    }
    std::vector<std::uint8_t> fifteen(15), seventeen(17);
    EXPECT_FALSE(BluetoothUUID::fromData(fifteen));
    EXPECT_FALSE(BluetoothUUID::fromData(seventeen));
    EXPECT_FALSE(BluetoothUUID::fromData({}));
}
