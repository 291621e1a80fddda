// Settings benchmark: the wizard's start and close with a config.xml that holds many junk-file
// masks. Start is the wizard's creation (every settings page reads its section), close its
// destruction (every page writes its section and the file is saved); medians of the rounds.
//
// config_benchmark.exe [--masks N] [--rounds N]
// Run beside Tidyhold.language and config.xml; the masks are added to a copy in a temporary folder.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_wizard.h"
#include "base/com_ptr.h"
#include "base/program_paths.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "ui/language_table.h"
#include "ui/list_view.h"

namespace {

constexpr double kTarget = 1.0;  // seconds, for start and for close

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// The shipped file with `masks` more rows at the end of the user's junk-file list.
std::string WithMasks(std::string config, int masks) {
    size_t items = config.find("<items>", config.find("<junkfiles>"));
    size_t end = config.find("</items>", items);
    if (items == std::string::npos || end == std::string::npos) return {};
    size_t lineStart = config.rfind('\n', end) + 1;
    std::string rows;
    for (int i = 0; i < masks; ++i)
        rows += "        <item checked=\"" + std::to_string(i % 2) + "\" description=\"Mask number " +
                std::to_string(i) + "\" file=\"*.m" + std::to_string(i) + "\"/>\n";
    config.insert(lineStart, rows);
    return config;
}

}  // namespace

int main(int argc, char** argv) {
    int masks = 10000, rounds = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--masks") masks = std::max(0, std::atoi(argv[i + 1]));
        else if (arg == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_COOL_CLASSES | ICC_LISTVIEW_CLASSES |
                                                        ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    Language().SetFile(ProgramFolder() + "\\Tidyhold.language");

    std::string config = WithMasks(ReadAll(ProgramFolder() + "\\config.xml"), masks);
    if (config.empty()) {
        std::fprintf(stderr, "No junk-file list: is config.xml beside the program?\n");
        return 1;
    }
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "tidyhold-config-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string file = folder + "\\config.xml";
    SetConfigFilePath(file);

    std::vector<double> starts, closes;
    bool complete = true;
    for (int round = 0; round < rounds; ++round) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << config;
        MainWizard wizard;
        double begin = Now();
        if (!wizard.CreateModeless(nullptr)) {
            std::fprintf(stderr, "The wizard could not be created\n");
            return 1;
        }
        double started = Now();
        int rows = RowCount(GetDlgItem(wizard.junkFilesPage.Hwnd(), IDC_JUNK_LIST));
        DestroyWindow(wizard.Hwnd());
        double closed = Now();
        starts.push_back(started - begin);
        closes.push_back(closed - started);
        size_t stored = OpenConfig().ReadList(ListSection::JunkFiles, false).size();
        complete = complete && rows == static_cast<int>(stored) && stored >= static_cast<size_t>(masks);
    }
    DeleteFileA(file.c_str());
    DeleteFileA((file + ".new").c_str());
    RemoveDirectoryA(folder.c_str());

    std::printf("Settings with %d added junk-file masks (%zu bytes), median of %d rounds:\n", masks, config.size(),
                rounds);
    std::printf("  wizard start < %.1f s: %.3f s  %s\n", kTarget, Median(starts), Median(starts) < kTarget ? "met" : "MISSED");
    std::printf("  wizard close < %.1f s: %.3f s  %s\n", kTarget, Median(closes), Median(closes) < kTarget ? "met" : "MISSED");
    std::printf("  every mask listed at start and stored at close: %s\n", complete ? "yes" : "NO");
    return 0;
}
