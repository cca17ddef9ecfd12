// The 56-byte kernel-streaming property request for the vendor property set:
// set identifier, property id, flags, then one eight-word value. Platform-free.
#pragma once

#include <cstdint>

constexpr uint32_t kPropertyRequestSize = 56;
constexpr uint32_t kPropertyWords = 8;
constexpr uint32_t kPropertyFlagGet = 1;
constexpr uint32_t kPropertyFlagSet = 2;

struct PropertyRequest {
    uint8_t bytes[kPropertyRequestSize];
};

// Builds a request; `words` is the value to send, or null for a get, whose
// value area is left zero.
PropertyRequest MakePropertyRequest(uint32_t propertyId, uint32_t flags, const uint32_t* words);

// The eight words of the request's value area, in order.
void ReadPropertyValue(const PropertyRequest& request, uint32_t (&words)[kPropertyWords]);
