#include "desktop/wlroots/sway/sway_tree.h"

#include <gtest/gtest.h>

#include <string>

namespace morel_xy::wlroots {
namespace {

// The shape of sway's answer: root, outputs (the scratchpad's "__i3" first), workspaces,
// containers, views; focus lists name children, most recent first.
constexpr char kTree[] = R"({
  "id": 1, "type": "root", "name": "root", "rect": {"x": 0, "y": 0, "width": 3200, "height": 1000},
  "focus": [3, 2],
  "nodes": [
    {"id": 2, "type": "output", "name": "__i3", "focus": [], "nodes": [
      {"id": 20, "type": "workspace", "name": "__i3_scratch", "focus": [21], "nodes": [],
       "floating_nodes": [
         {"id": 21, "type": "floating_con", "pid": 900, "app_id": "chromium", "name": "hidden",
          "visible": false, "rect": {"x": 0, "y": 0, "width": 10, "height": 10}}]}]},
    {"id": 3, "type": "output", "name": "HEADLESS-1", "focus": [4], "nodes": [
      {"id": 4, "type": "workspace", "name": "1", "focus": [7, 5, 6],
       "nodes": [
         {"id": 5, "type": "con", "pid": 100, "app_id": "foot", "name": "terminal",
          "visible": true, "rect": {"x": 0, "y": 0, "width": 800, "height": 1000}},
         {"id": 6, "type": "con", "pid": 200, "app_id": "Chromium", "name": "Page - Chromium",
          "visible": true, "rect": {"x": 800, "y": 0, "width": 800, "height": 1000}}],
       "floating_nodes": [
         {"id": 7, "type": "floating_con", "pid": 300, "app_id": null, "name": "Firefox",
          "shell": "xwayland", "visible": true,
          "window_properties": {"class": "firefox", "instance": "Navigator",
                                "window_type": "normal"},
          "rect": {"x": 100.5, "y": 50, "width": 640, "height": 480}}]}]}]
})";

TEST(SwayTreeTest, ViewsComeMostRecentlyFocusedFirstWithTheirApplicationIds) {
  const std::optional<std::vector<CompositorWindow>> views = ParseSwayTree(kTree);
  ASSERT_TRUE(views);
  ASSERT_EQ(views->size(), 4u);
  // The focused output's workspace first, in its focus order; the scratchpad last.
  EXPECT_EQ((*views)[0].pid, 300);
  EXPECT_EQ((*views)[0].applicationId, "firefox");  // WM_CLASS's class under Xwayland
  EXPECT_EQ((*views)[0].rect, (PointRect{100.5, 50, 640, 480}));
  EXPECT_TRUE((*views)[0].normal);
  EXPECT_EQ((*views)[1].pid, 100);
  EXPECT_EQ((*views)[1].applicationId, "foot");
  EXPECT_EQ((*views)[2].pid, 200);
  EXPECT_EQ((*views)[2].applicationId, "Chromium");
  EXPECT_EQ((*views)[2].title, "Page - Chromium");
  EXPECT_TRUE((*views)[2].visible);
  EXPECT_EQ((*views)[3].pid, 900);
  EXPECT_FALSE((*views)[3].visible);
}

TEST(SwayTreeTest, XUtilityWindowsAreNotNormal) {
  const auto views = ParseSwayTree(R"({"nodes": [
      {"pid": 5, "window_properties": {"class": "Chromium", "window_type": "utility"}},
      {"pid": 6, "window_properties": {"class": "Chromium", "window_type": "dialog"}}]})");
  ASSERT_TRUE(views);
  ASSERT_EQ(views->size(), 2u);
  EXPECT_FALSE((*views)[0].normal);
  EXPECT_TRUE((*views)[1].normal);
  EXPECT_EQ((*views)[0].applicationId, "Chromium");
}

TEST(SwayTreeTest, AnXClientWithoutAClassIsKnownByItsInstance) {
  const auto views = ParseSwayTree(R"({"nodes": [
      {"pid": 5, "window_properties": {"class": "", "instance": "firefox"}},
      {"pid": 6, "window_properties": {"class": "Gimp", "instance": "chromium"}}]})");
  ASSERT_TRUE(views);
  ASSERT_EQ(views->size(), 2u);
  EXPECT_EQ((*views)[0].applicationId, "firefox");
  EXPECT_EQ((*views)[1].applicationId, "Gimp");
}

TEST(SwayTreeTest, HostileAnswersEndInNoTreeOrInViewsWithoutTheBadMembers) {
  EXPECT_EQ(ParseSwayTree("not json"), std::nullopt);
  EXPECT_EQ(ParseSwayTree("[1, 2]"), std::nullopt);
  EXPECT_EQ(ParseSwayTree(""), std::nullopt);
  EXPECT_EQ(ParseSwayTree(std::string(kTree).substr(0, 200)), std::nullopt);

  // Members of the wrong type count as absent; a pid out of range is unknown.
  const auto odd = ParseSwayTree(R"({"nodes": "x", "floating_nodes": [
      {"pid": 99999999999, "app_id": 5, "name": ["x"], "visible": "yes",
       "rect": {"x": "1", "y": null, "width": 10, "height": 20}},
      7, null, {"pid": -3, "app_id": "chromium"}], "focus": "all"})");
  ASSERT_TRUE(odd);
  ASSERT_EQ(odd->size(), 2u);
  EXPECT_EQ((*odd)[0].pid, 0);
  EXPECT_EQ((*odd)[0].applicationId, "");
  EXPECT_EQ((*odd)[0].title, "");
  EXPECT_FALSE((*odd)[0].visible);
  EXPECT_EQ((*odd)[0].rect, (PointRect{0, 0, 10, 20}));
  EXPECT_EQ((*odd)[1].pid, 0);
  EXPECT_EQ((*odd)[1].applicationId, "chromium");

  // A tree nested far deeper than sway nests: parsed, the deep part ignored, no crash.
  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += R"({"nodes": [)";
  deep += R"({"pid": 1})";
  for (int i = 0; i < 100000; ++i) deep += "]}";
  const auto deepViews = ParseSwayTree(deep);
  ASSERT_TRUE(deepViews);
  EXPECT_TRUE(deepViews->empty());
}

}  // namespace
}  // namespace morel_xy::wlroots
