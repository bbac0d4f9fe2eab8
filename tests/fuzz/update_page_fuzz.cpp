// Fuzzes what the update check does with a page: conversion from UTF-8 and the marker cuts.
#include <cstddef>
#include <cstdint>

#include "update/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Text page = toAnsiText(textFromBytes(reinterpret_cast<const char*>(data), size));
  for (const char* marker : {"vtrq1.0[", "vantrelver[", "vantreldl["}) {
    Text value = extractBetween(page, marker, "]");
    if (value.size() > page.size()) __builtin_trap();
    (void)isWebAddress(value);
  }
  return 0;
}
