// A fresh fake device for each test; at the end the test's reference must be its last, and
// every fake object the test made must be gone.
#pragma once

#include "FakeDevice.h"

#include <gtest/gtest.h>

class FakeDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        baseline = FakeObjects::alive;
        device = new FakeDevice();
    }
    void TearDown() override {
        EXPECT_EQ(device->Release(), 0u);
        EXPECT_EQ(FakeObjects::alive, baseline) << "objects left unreleased";
    }

    int baseline = 0;
    FakeDevice* device = nullptr;
};
