// pachinko-courses: makes and checks "tama.dat", the 100 ball courses.
//
//   pachinko-courses --out DIR        simulate, check, write DIR/tama.dat
//   pachinko-courses --check FILE     check a course file; exit 1 on any broken rule
//   pachinko-courses --preview PNG [--table FILE] [--back BMP]
//                                     a dozen courses drawn as ball trails
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "course_check.h"
#include "course_sim.h"
#include "preview.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: pachinko-courses --out DIR\n"
                 "       pachinko-courses --check FILE\n"
                 "       pachinko-courses --preview PNG [--table FILE] [--back BMP]\n");
    return 2;
}

bool readFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

void printReport(const courses::CheckReport& report) {
    for (const std::string& p : report.problems) std::fprintf(stderr, "  %s\n", p.c_str());
}

int generate(const std::string& dir) {
    std::string progress;
    BallPathTableData table = courses::generateTable(&progress);
    std::fputs(progress.c_str(), stdout);
    courses::CheckReport report = courses::checkTable(table);
    if (!report.ok()) {
        std::fprintf(stderr, "pachinko-courses: the generated table breaks %zu rule(s); nothing written:\n",
                     report.problems.size());
        printReport(report);
        return 1;
    }
    std::string path = dir + "/tama.dat";
    if (!writeFile(path, courses::tableBytes(table))) {
        std::fprintf(stderr, "pachinko-courses: cannot write %s\n", path.c_str());
        return 1;
    }
    std::printf("wrote %s\n", path.c_str());
    return 0;
}

int check(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!readFile(path, bytes)) {
        std::fprintf(stderr, "pachinko-courses: cannot read %s\n", path.c_str());
        return 1;
    }
    courses::CheckReport report = courses::checkFileBytes(bytes);
    if (!report.ok()) {
        std::fprintf(stderr, "%s: %zu broken rule(s):\n", path.c_str(), report.problems.size());
        printReport(report);
        return 1;
    }
    std::printf("%s: all 100 courses pass (jump bound %d px)\n", path.c_str(), courses::jumpBound());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 2 && args[0] == "--out") return generate(args[1]);
    if (args.size() == 2 && args[0] == "--check") return check(args[1]);
    if (!args.empty() && args[0] == "--preview" && args.size() >= 2) {
        std::string png = args[1], tablePath, back;
        for (size_t i = 2; i + 1 < args.size(); i += 2) {
            if (args[i] == "--table") tablePath = args[i + 1];
            else if (args[i] == "--back") back = args[i + 1];
            else return usage();
        }
        BallPathTableData table;
        if (!tablePath.empty()) {
            std::vector<uint8_t> bytes;
            if (!readFile(tablePath, bytes) || !courses::tableFromBytes(bytes, table)) {
                std::fprintf(stderr, "pachinko-courses: %s is no course table\n", tablePath.c_str());
                return 1;
            }
        } else {
            table = courses::generateTable();
        }
        return courses::writePreview(table, back, png, argc, argv) ? 0 : 1;
    }
    return usage();
}
