#include "AppKitTestViews.h"

TEST(NSWorkspace, RecordsWhatItOpensAndAnswersAsTold)
{
  const long live = FoundationTestKit::LiveObjectCount();
  NSWorkspace* ws = NSWorkspace::sharedWorkspace();
  EXPECT_EQ(NSWorkspace::sharedWorkspace(), ws);
  AppKitTestKit::ClearOpenedURLs();
  EXPECT_TRUE(ws->openURL(NSURL::URLWithString(NSSTR("https://example.com/manual"))));
  EXPECT_TRUE(ws->openURL(NSURL::fileURLWithPath(NSSTR("/tmp/a b.pdf"))));
  AppKitTestKit::SetOpenURLAnswer(NO);
  EXPECT_FALSE(ws->openURL(NSURL::URLWithString(NSSTR("mailto:x@example.com"))));
  AppKitTestKit::SetOpenURLAnswer(YES);
  EXPECT_FALSE(ws->openURL(nil));
  EXPECT_EQ(AppKitTestKit::OpenedURLs(),
            (std::vector<std::string>{"https://example.com/manual", "file:///tmp/a%20b.pdf", "mailto:x@example.com"}));
  AppKitTestKit::ClearOpenedURLs();
  EXPECT_TRUE(AppKitTestKit::OpenedURLs().empty());
  FoundationTestKit::DrainImplicitPool();
  EXPECT_EQ(FoundationTestKit::LiveObjectCount(), live);
}

TEST(NSApplication, LoadIsCountedAndSucceeds)
{
  const int before = AppKitTestKit::ApplicationLoadCount();
  EXPECT_TRUE(NSApplicationLoad());
  EXPECT_TRUE(NSApplicationLoad());
  EXPECT_EQ(AppKitTestKit::ApplicationLoadCount(), before + 2);
}
