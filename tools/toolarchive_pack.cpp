// Builds the tool archive from a folder holding the ten tool files:
//   toolarchive_pack <folder> <archive>
// Each file becomes one record (u32 little-endian length, scrambled bytes), in the order
// of the editors' file table; the position of the scrambler runs on over all records.
#include "TOVKContEdit/shared/ToolFileTable.h"
#include "TOVKContEdit/shared/ToolScrambler.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: toolarchive_pack <folder> <archive>\n";
        return 2;
    }
    const std::string folder = argv[1];
    const std::uint8_t seed = MakeToolSeed();
    std::vector<std::uint8_t> archive;
    std::uint32_t position = 0;
    for (const char* name : ToolFileTable)
    {
        const std::string path = folder + "/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in)
        {
            std::cerr << "toolarchive_pack: cannot read " << path << "\n";
            return 1;
        }
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        if (bytes.size() > 0xFFFFFFFFu)
        {
            std::cerr << "toolarchive_pack: too large: " << path << "\n";
            return 1;
        }
        const auto length = static_cast<std::uint32_t>(bytes.size());
        for (int i = 0; i < 4; ++i)
            archive.push_back(static_cast<std::uint8_t>(length >> (8 * i)));
        ScrambleToolData(seed, bytes.data(), bytes.size(), bytes.data(), position);
        archive.insert(archive.end(), bytes.begin(), bytes.end());
        position += length;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(archive.data()),
              static_cast<std::streamsize>(archive.size()));
    if (!out)
    {
        std::cerr << "toolarchive_pack: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
