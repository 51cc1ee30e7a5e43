#pragma once
// The scrambler of the tool archive's payloads. Plain C++ without Qt, so that the archive
// builder in tools/ compiles the same code.
#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr std::size_t ToolKeyPhraseLength = 20;

// Two words separated by a blank.
std::u16string_view ToolKeyPhrase();

// Seed from bytes: the starting constant plus every byte (mod 256) picks a seed-table entry.
std::uint8_t MakeToolSeed(std::size_t count, const std::uint8_t* bytes);
// The seed of the archive: from the key phrase's UTF-16LE bytes.
std::uint8_t MakeToolSeed();

// Unscrambles count bytes (source and destination may be the same buffer). The position
// runs on from start over the payloads; returns the position after the last byte.
std::uint32_t UnscrambleToolData(std::uint8_t seed, const std::uint8_t* source, std::size_t count,
                                 std::uint8_t* destination, std::uint32_t start);
// The exact inverse, for the archive builder.
std::uint32_t ScrambleToolData(std::uint8_t seed, const std::uint8_t* source, std::size_t count,
                               std::uint8_t* destination, std::uint32_t start);
