// Turns a data file into a C++ source with two accessors:
//   embed_bytes <input> <output.cpp> <name>
// defines "const unsigned char* <name>Data()" and "std::size_t <name>Size()".
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::cerr << "usage: embed_bytes <input> <output.cpp> <name>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
    {
        std::cerr << "embed_bytes: cannot read " << argv[1] << "\n";
        return 1;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    std::ofstream out(argv[2], std::ios::trunc);
    const std::string name = argv[3];
    out << "// Generated from " << argv[1] << " by embed_bytes; do not edit.\n"
        << "#include <cstddef>\n\nnamespace\n{\nalignas(4) const unsigned char bytes[] = {";
    char text[8];
    for (std::size_t i = 0; i < bytes.size(); ++i)
    {
        std::snprintf(text, sizeof text, "%u,", unsigned(bytes[i]));
        out << (i % 24 == 0 ? "\n" : "") << text;
    }
    // An empty file still gives a valid array.
    out << (bytes.empty() ? "0" : "") << "\n};\n}\n\n"
        << "const unsigned char* " << name << "Data()\n{\n    return bytes;\n}\n\n"
        << "std::size_t " << name << "Size()\n{\n    return " << bytes.size() << ";\n}\n";
    if (!out)
    {
        std::cerr << "embed_bytes: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
