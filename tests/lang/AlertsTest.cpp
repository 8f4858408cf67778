// The framework's alerts as the language code raises them: text, window
// title, buttons and their keys.
#include "LangTestUtil.h"

#include <InterfaceDefs.h>

#include <gtest/gtest.h>

TEST(Alerts, QuestionsAndMessagesAreComposedForTheAlert)
{
	langtest::AlertRecorder alerts;
	EXPECT_EQ(orvik::show_alert("Caption", "Really?", "Yes", "No", "Cancel", 1, B_INFO_ALERT), 0);
	EXPECT_EQ(orvik::show_msg("Caption", "Done.", nullptr, B_WARNING_ALERT), 0);

	const auto requests = alerts.Requests();
	ASSERT_EQ(requests.size(), 2u);
	EXPECT_EQ(requests[0].windowTitle, "Title");
	EXPECT_EQ(requests[0].text, "Caption\n\nReally?");
	EXPECT_EQ(requests[0].buttons, (std::vector<std::string>{"Yes", "No", "Cancel"}));
	EXPECT_EQ(requests[0].shortcuts, (std::vector<char>{'y', B_ESCAPE, 'c'}));

	EXPECT_EQ(requests[1].buttons, std::vector<std::string>{"ＯＫ"});
	EXPECT_EQ(requests[1].spacing, B_OFFSET_SPACING);
	EXPECT_EQ(requests[1].type, B_WARNING_ALERT);
}
