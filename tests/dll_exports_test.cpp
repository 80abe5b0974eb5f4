// Reads the built DLL's PE headers: the host finds the entry points by these
// exact names, and a clean Windows machine has none of MinGW's runtime DLLs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class PeImage {
public:
    explicit PeImage(const char* path) {
        bytes_.resize(static_cast<std::size_t>(std::filesystem::file_size(path)));
        std::ifstream(path, std::ios::binary).read(bytes_.data(), static_cast<std::streamsize>(bytes_.size()));
        const std::uint32_t pe = u32(0x3C);
        if (u32(pe) != 0x00004550) throw std::runtime_error("not a PE file");
        coff_ = pe + 4;
        optional_ = coff_ + 20;
        const std::uint32_t sectionTable = optional_ + u16(coff_ + 16);
        for (std::uint32_t i = 0; i < u16(coff_ + 2); ++i) {
            const std::uint32_t at = sectionTable + 40 * i;
            sections_.push_back({u32(at + 12), std::max(u32(at + 8), u32(at + 16)), u32(at + 20)});
        }
    }

    std::uint32_t machine() const { return u16(coff_); }
    std::uint32_t optionalMagic() const { return u16(optional_); }
    // PE32 data directories: 0 exports, 1 imports.
    std::uint32_t directory(int index) const { return u32(optional_ + 96 + 8 * static_cast<std::uint32_t>(index)); }

    std::uint32_t u16(std::uint32_t offset) const { return std::uint32_t{byte(offset)} | std::uint32_t{byte(offset + 1)} << 8; }
    std::uint32_t u32(std::uint32_t offset) const { return u16(offset) | u16(offset + 2) << 16; }
    std::uint32_t at(std::uint32_t rva) const {
        for (const Section& s : sections_) {
            if (rva >= s.address && rva < s.address + s.size) return rva - s.address + s.fileOffset;
        }
        throw std::runtime_error("address outside every section");
    }
    std::string text(std::uint32_t rva) const {
        std::string out;
        for (std::uint32_t offset = at(rva); byte(offset) != 0; ++offset) out.push_back(static_cast<char>(byte(offset)));
        return out;
    }

private:
    struct Section {
        std::uint32_t address, size, fileOffset;
    };
    unsigned char byte(std::uint32_t offset) const {
        if (offset >= bytes_.size()) throw std::runtime_error("offset past the end of the file");
        return static_cast<unsigned char>(bytes_[offset]);
    }

    std::vector<char> bytes_;
    std::uint32_t coff_ = 0, optional_ = 0;
    std::vector<Section> sections_;
};

TEST(DllExports, NameTheFiveDecoratedEntryPointsInOrdinalOrder) {
    const PeImage dll(MARLOWICK_MODULE_PATH);
    EXPECT_EQ(dll.machine(), 0x14cu);         // i386
    EXPECT_EQ(dll.optionalMagic(), 0x10bu);   // PE32

    const std::uint32_t exports = dll.at(dll.directory(0));
    EXPECT_EQ(dll.text(dll.u32(exports + 12)), "Marlowick.dll");
    EXPECT_EQ(dll.u32(exports + 16), 1u);  // ordinal base
    const std::uint32_t functionCount = dll.u32(exports + 20);
    const std::uint32_t nameCount = dll.u32(exports + 24);
    ASSERT_EQ(functionCount, 5u);
    ASSERT_EQ(nameCount, 5u);
    const std::uint32_t functions = dll.at(dll.u32(exports + 28));
    const std::uint32_t names = dll.at(dll.u32(exports + 32));
    const std::uint32_t nameOrdinals = dll.at(dll.u32(exports + 36));

    const std::vector<std::string> expected = {"_GetMinRefreshInterval@0", "_QuelvinFini@0", "_QuelvinInit@0",
                                               "_function1@8", "_function2@8"};
    std::vector<std::uint32_t> address(functionCount);
    for (std::uint32_t i = 0; i < functionCount; ++i) address[i] = dll.u32(functions + 4 * i);
    for (std::uint32_t i = 0; i < nameCount; ++i) {
        EXPECT_EQ(dll.text(dll.u32(names + 4 * i)), expected[i]);
        EXPECT_EQ(dll.u16(nameOrdinals + 2 * i), i) << expected[i] << " is not ordinal " << i + 1;
    }
    EXPECT_EQ(address[1], address[2]) << "Fini and Init must share one routine";
    EXPECT_EQ(std::set<std::uint32_t>(address.begin(), address.end()).size(), 4u);
}

TEST(DllExports, ImportOnlyWindowsOwnDlls) {
    const PeImage dll(MARLOWICK_MODULE_PATH);
    const std::set<std::string> system = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll", "ntdll.dll"};
    std::vector<std::string> imported;
    for (std::uint32_t descriptor = dll.at(dll.directory(1)); dll.u32(descriptor + 12) != 0; descriptor += 20) {
        std::string name = dll.text(dll.u32(descriptor + 12));
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        imported.push_back(name);
        EXPECT_TRUE(system.count(name) == 1) << name << " is not on a clean Windows machine";
    }
    EXPECT_FALSE(imported.empty());
}

}  // namespace
