#include "core/Error.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace v7300;

TEST(Error, ExhaustedMemoryIsShownInGermanAndOtherMessagesAsTheyAre) {
    EXPECT_EQ(userMessage(std::bad_alloc()), "Zu wenig Arbeitsspeicher");
    EXPECT_EQ(userMessage(std::bad_array_new_length()), "Zu wenig Arbeitsspeicher");
    EXPECT_EQ(userMessage(std::length_error("basic_string::_M_create")), "Zu wenig Arbeitsspeicher");
    EXPECT_EQ(userMessage(Error("Objekt-ID doppelt vergeben!")), "Objekt-ID doppelt vergeben!");
}
