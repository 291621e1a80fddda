// The benchmark's file tree: generated from a fixed seed under the temporary folder, kept between
// runs while its marker names the same shape and masks.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct TreeShape {
    int topFolders = 20;
    int middleFolders = 25;  // in each top folder
    int leafFolders = 40;    // in each middle folder
    int filesPerLeaf = 10;
    std::uint64_t seed = 0x5eed7148;
    int maskPermille = 30;      // names that match a junk mask
    int emptyPermille = 10;     // zero bytes, other names
    int readOnlyPermille = 20;  // of the files that are not shortcuts
    int hiddenPermille = 10;
    int oldPermille = 100;    // last access oldFromDays to oldToDays ago; the rest within recentDays
    int recentDays = 180;
    int oldFromDays = 240;
    int oldToDays = 6 * 365;
    int shortcutEvery = 50;   // one leaf in this many holds a shortcut, every other one broken
    int maxAgeDays = 30;      // a tree older than this is made again: its recent files would age past the test

    int LeafCount() const { return topFolders * middleFolders * leafFolders; }
    int FileCount() const { return LeafCount() * filesPerLeaf; }
    int FolderCount() const { return 1 + topFolders + topFolders * middleFolders + LeafCount(); }
    // Whether an age test of this many months splits the files exactly into old and recent.
    bool AgeTestSplits(int months) const {
        int days = (months + 1) * 31;  // the scanner's threshold
        return days > recentDays && days <= oldFromDays;
    }
};

// What the generator made, counted as the scanner should find it with read-only and hidden files
// skipped: names matching a mask, other empty files, old files, and broken shortcuts.
struct TreeCounts {
    long long files = 0;
    long long maskNamed = 0;
    long long empty = 0;
    long long old = 0;
    long long readOnly = 0;
    long long hidden = 0;
    long long shortcuts = 0;
    long long brokenShortcuts = 0;
    long long expectedFound = 0;           // masks, empty and old, outside read-only and hidden files
    long long expectedBrokenShortcuts = 0;  // added when the shortcut test is on
};

struct BenchTree {
    std::string root;   // the folder the benchmark owns: marker and tree
    std::string files;  // the tree that is scanned
    TreeCounts counts;
    bool reused = false;
    double generationSeconds = 0;  // this run's, or the one the marker recorded
};

// Makes the tree under GetTempPathA()\tidyhold-bench-tree, or reuses it; masks are the junk masks
// whose names a share of the files take. An empty root means it could not be made.
BenchTree PrepareTree(const TreeShape& shape, const std::vector<std::string>& masks);
std::string BenchRoot();
