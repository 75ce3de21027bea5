// Message maps and the route of a command, with small tables of the tests' own.
#include <gtest/gtest.h>

#include <array>
#include <span>
#include <string>

#include "platform/framework/command_routing.h"

using kavelo::platform::framework::CCmdTarget;
using kavelo::platform::framework::CommandInput;
using kavelo::platform::framework::IsCommandEnabled;
using kavelo::platform::framework::MessageMapEntry;
using kavelo::platform::framework::MessageMapTarget;
using kavelo::platform::framework::RouteCommand;

namespace {

std::string g_log;

class TestView : public MessageMapTarget<TestView> {
  public:
    static std::span<const MessageMapEntry<TestView>> GetMessageMap() {
        static const MessageMapEntry<TestView> kMap[] = {
            {1, &TestView::OnOne}, {2, &TestView::OnTwo}, {6, {}}};
        return kMap;
    }
    void OnOne() { g_log += "view1 "; }
    void OnTwo() { g_log += "view2 "; }
};

class TestDoc : public MessageMapTarget<TestDoc> {
  public:
    static std::span<const MessageMapEntry<TestDoc>> GetMessageMap() {
        static const MessageMapEntry<TestDoc> kMap[] = {{2, &TestDoc::OnTwo},
                                                        {3, &TestDoc::OnThree}};
        return kMap;
    }
    void OnTwo() { g_log += "doc2 "; }
    void OnThree(const CommandInput& in) { g_log += "doc3@" + std::to_string(*in.madeMs) + " "; }
};

class TestFrame : public MessageMapTarget<TestFrame> {
  public:
    static std::span<const MessageMapEntry<TestFrame>> GetMessageMap() { return {}; }
};

class TestApp : public MessageMapTarget<TestApp> {
  public:
    static std::span<const MessageMapEntry<TestApp>> GetMessageMap() {
        static const MessageMapEntry<TestApp> kMap[] = {{3, &TestApp::OnThree},
                                                        {4, &TestApp::OnFour}};
        return kMap;
    }
    void OnThree() { g_log += "app3 "; }
    void OnFour() { g_log += ("app4:" + std::to_string(m_nCalls++) + " "); }
    int m_nCalls = 0;
};

std::string Route(std::span<CCmdTarget* const> route, unsigned id, CommandInput input = {0}) {
    g_log.clear();
    const bool handled = RouteCommand(route, id, input);
    return (handled ? "handled " : "unhandled ") + g_log;
}

TEST(CommandRouting, FirstTableOnTheRouteHandlesAndEnabledMeansSomeTableHoldsIt) {
    TestView view;
    TestDoc doc;
    TestFrame frame;
    TestApp app;
    const std::array<CCmdTarget*, 4> route = {&view, &doc, &frame, &app};

    EXPECT_EQ(Route(route, 1), "handled view1 ");
    EXPECT_EQ(Route(route, 2), "handled view2 ");  // the view's table comes before the document's
    EXPECT_EQ(Route(route, 3, {250}), "handled doc3@250 ");  // with the input it came with
    EXPECT_EQ(Route(route, 4), "handled app4:0 ");
    EXPECT_EQ(Route(route, 4), "handled app4:1 ");  // the handler runs on the object itself
    EXPECT_EQ(Route(route, 5), "unhandled ");
    EXPECT_EQ(Route(route, 6), "unhandled ") << "an entry without a handler binds nothing";

    for (unsigned id : {1u, 2u, 3u, 4u}) {
        EXPECT_TRUE(IsCommandEnabled(route, id)) << id;
    }
    EXPECT_FALSE(IsCommandEnabled(route, 5));
    EXPECT_FALSE(IsCommandEnabled(route, 6));
    EXPECT_FALSE(IsCommandEnabled({}, 1));

    EXPECT_TRUE(doc.HasCommandHandler(2));
    EXPECT_FALSE(doc.HasCommandHandler(1));
    g_log.clear();
    EXPECT_FALSE(doc.OnCmdMsg(1, {}));
    EXPECT_TRUE(doc.OnCmdMsg(3, {7}));
    EXPECT_EQ(g_log, "doc3@7 ");
}

TEST(CommandRouting, NullEntriesAreSkipped) {
    TestDoc doc;
    TestApp app;
    // No active view: the document is first.
    const std::array<CCmdTarget*, 4> route = {nullptr, &doc, nullptr, &app};
    EXPECT_EQ(Route(route, 2), "handled doc2 ");
    EXPECT_EQ(Route(route, 1), "unhandled ");
    EXPECT_FALSE(IsCommandEnabled(route, 1));
    EXPECT_TRUE(IsCommandEnabled(route, 4));
    const std::array<CCmdTarget*, 2> empty = {nullptr, nullptr};
    EXPECT_EQ(Route(empty, 2), "unhandled ");
    EXPECT_FALSE(IsCommandEnabled(empty, 2));
}

}  // namespace
