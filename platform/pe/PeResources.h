// A small reader of the string resources of a Windows executable (PE format).
//
// Self-extracting archives may keep the offset of their archive data in a string resource.
// This reader opens the file as plain data, walks the resource directory of the PE image to
// the string table (resource type 6) and returns single strings by id. Every read is bounds-
// checked against the file; a plain DOS program, a damaged header or a missing resource
// simply yields nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvello::platform {

class PeResources {
  public:
    // Reads n bytes at a file offset into buf; true only when all n bytes were read.
    using ReadFn = std::function<bool(std::uint64_t offset, void* buf, std::size_t n)>;

    // Opens the file and locates its resource directory; nullopt when the file is not a PE
    // image with resources.
    static std::optional<PeResources> Open(const std::string& path);
    // The same over any random-access reader of a file of the given size. The reader must
    // stay usable while the returned object is.
    static std::optional<PeResources> Open(ReadFn read, std::uint64_t fileSize);

    // The string with the given id (the first language found), as UTF-16 code units;
    // nullopt when there is no such string. An empty string is returned as empty.
    std::optional<std::u16string> String(unsigned id);

  private:
    struct Section {
        std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
    };

    PeResources() = default;
    bool ReadAt(std::uint64_t offset, void* buf, std::size_t n);
    std::optional<std::uint64_t> RvaToOffset(std::uint32_t rva) const;
    // Finds the entry with the given id in the directory at dirOffset (relative to the
    // resource root) and returns its OffsetToData field.
    std::optional<std::uint32_t> FindEntry(std::uint32_t dirOffset, std::uint32_t id);
    // The first entry of a directory (any language).
    std::optional<std::uint32_t> FirstEntry(std::uint32_t dirOffset);

    ReadFn read_;
    std::uint64_t fileSize_ = 0;
    std::vector<Section> sections_;
    std::uint64_t rootOffset_ = 0;  // file offset of the resource directory
    std::uint32_t rootSize_ = 0;
};

// "12345" from the first n code units, or nullopt when any unit is outside ASCII.
std::optional<std::string> AsciiPrefix(const std::u16string& s, std::size_t n);

}  // namespace orvello::platform
