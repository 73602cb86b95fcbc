#pragma once
// Structural check of a Qt binary resource bundle (.rcc) before Qt reads it.
// Qt trusts the offsets inside such a file, so a damaged bundle could make it
// read outside the file; this check walks every node, name and data block and
// accepts the bundle only when all of them lie inside it. Compressed entries
// are refused: the bundles of this suite are packed without compression.
#include <cstddef>
#include <cstdint>
#include <span>

bool IsWellFormedResourceBundle(std::span<const uint8_t> bytes);
