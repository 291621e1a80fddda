#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "ui/dialog.h"

TEST(CenteredPosition, CentresOverTheOwnerAndStaysInsideItsMonitorsWorkArea) {
    struct Case {
        const char* name;
        SIZE window;
        RECT over;
        RECT work;
        POINT expected;
    };
    const Case cases[] = {
        {"owner on a second monitor left of the first", {400, 300}, {-1500, 200, -700, 800}, {-1920, 0, 0, 1040},
         {-1300, 350}},
        {"no owner: the work area itself, above the first monitor", {400, 300}, {-1920, -1080, 0, -40},
         {-1920, -1080, 0, -40}, {-1160, -710}},
        {"owner half off the right edge", {400, 300}, {1600, 100, 2240, 580}, {0, 0, 1920, 1040}, {1520, 190}},
        {"owner half off the left and bottom edges", {400, 300}, {-2240, 900, -1600, 1380}, {-1920, 0, 0, 1040},
         {-1920, 740}},
        {"larger than the work area: the top left corner stays in", {1200, 800}, {0, 0, 1024, 738},
         {0, 0, 1024, 738}, {0, 0}},
        {"larger than a work area at negative coordinates", {1400, 1100}, {-1280, -100, 0, 924},
         {-1280, -100, 0, 924}, {-1280, -100}},
        {"exactly the work area", {1920, 1040}, {0, 0, 1920, 1040}, {0, 0, 1920, 1040}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        POINT at = CenteredPosition(c.window, c.over, c.work);
        EXPECT_EQ(at.x, c.expected.x);
        EXPECT_EQ(at.y, c.expected.y);
    }
}

namespace {

struct Target {
    std::string calls;
    void A() { calls += 'a'; }
    void B() { calls += 'b'; }
    void Changed() { calls += 'c'; }
    LRESULT Clicked(NMHDR&) {
        calls += 'k';
        return 7;
    }
};

}  // namespace

TEST(Route, CommandsMatchTheirIdAndTheCodeWhereARouteNamesOne) {
    static constexpr CommandRoute<Target> routes[] = {
        {10, &Target::A}, {20, &Target::Changed, EN_CHANGE}, {20, &Target::B}};
    struct Case {
        int id, code;
        bool routed;
        const char* calls;
    };
    const Case cases[] = {
        {10, BN_CLICKED, true, "a"}, {10, 1, true, "a"},  // a route without a code takes an accelerator too
        {20, EN_CHANGE, true, "c"},                       // the first route that fits, only that one
        {20, EN_KILLFOCUS, true, "b"}, {30, BN_CLICKED, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + "/" + std::to_string(c.code));
        Target target;
        EXPECT_EQ(Route(target, routes, c.id, c.code), c.routed);
        EXPECT_EQ(target.calls, c.calls);
    }
}

TEST(Route, NotificationsNeedIdAndCodeAndHandTheHandlersResultBack) {
    static constexpr NotifyRoute<Target> routes[] = {{10, NM_CLICK, &Target::Clicked}};
    Target target;
    LRESULT result = 0;
    NMHDR other{nullptr, 10, NM_DBLCLK};
    EXPECT_FALSE(Route(target, routes, other, result));
    NMHDR elsewhere{nullptr, 11, NM_CLICK};
    EXPECT_FALSE(Route(target, routes, elsewhere, result));
    NMHDR click{nullptr, 10, NM_CLICK};
    EXPECT_TRUE(Route(target, routes, click, result));
    EXPECT_EQ(result, 7);
    EXPECT_EQ(target.calls, "k");
}
