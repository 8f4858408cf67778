// The one-line input dialog on its own: OK by Enter, by click and by its
// accelerator letter sends the text once and hides; Escape and the close
// box forget the edit; the buttons keep their places whatever their labels.
#include "PrefWinTestSupport.h"

#include "prefs/TSimpleInputView.h"
#include "prefs/TSimpleInputWin.h"

#include <Button.h>
#include <TextControl.h>

using namespace pwtest;

namespace {

const uint32 kMsgName = 'snpr';

class SimpleInputTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fTarget = new RecordingCommMan;
		fTarget->Run();
		fDialog = new TSimpleInputWin(BRect(200, 150, 700, 600), "Name of the setting");
		ASSERT_TRUE(fDialog->Lock());
		fDialog->SetTarget(fTarget);
		EXPECT_EQ(fDialog->SetMessage(new BMessage(kMsgName)), B_OK);
		fDialog->Unlock();
		fDialog->SetDataLabel("N) Name");
		fDialog->SetButtonLabel(B_CANCEL_BUTTON, "C) Cancel");
		fDialog->SetButtonLabel(B_DEFAULT_BUTTON, "O) OK");
		fDialog->SetData("Untitled");
	}
	void TearDown() override
	{
		windowtest::quit(fDialog);
		if (fTarget->Lock())
			fTarget->Quit();
	}

	void Show()
	{
		fDialog->Appear();
		windowtest::settle(fDialog);
	}
	bool Hidden()
	{
		return windowtest::locked(fDialog, false, [](BWindow* w) { return w->IsHidden(); });
	}
	// The texts sent so far; each message must carry exactly one.
	std::vector<std::string> Sent()
	{
		fTarget->Sync();
		std::vector<std::string> texts;
		for (const BMessage& message : fTarget->Take()) {
			EXPECT_EQ(message.what, kMsgName);
			const char* text = nullptr;
			EXPECT_EQ(message.FindString("_SmplIptData", &text), B_OK);
			EXPECT_NE(message.FindString("_SmplIptData", 1, &text), B_OK)
				<< "one text per message";
			if (message.FindString("_SmplIptData", &text) == B_OK)
				texts.push_back(text);
		}
		return texts;
	}
	void Type(const char* text)
	{
		windowtest::type(fDialog, text);
		windowtest::settle(fDialog);
	}

	RecordingCommMan* fTarget = nullptr;
	TSimpleInputWin* fDialog = nullptr;
};

}

TEST_F(SimpleInputTest, EnterSendsTheTextOnceAndHides)
{
	EXPECT_EQ(windowtest::locked(fDialog, BRect(), [](BWindow* w) { return w->Bounds(); }),
		BRect(0, 0, 250, 75));
	Show();
	windowtest::key(fDialog, kKeyReturn);
	windowtest::settle(fDialog);
	EXPECT_EQ(Sent(), (std::vector<std::string>{"Untitled"}));
	EXPECT_TRUE(Hidden());

	// Shown again, the text is selected: typing replaces it.
	Show();
	EXPECT_STREQ(fDialog->Data(), "Untitled");
	Type("Blue");
	windowtest::key(fDialog, kKeyReturn);
	windowtest::settle(fDialog);
	EXPECT_EQ(Sent(), (std::vector<std::string>{"Blue"}));

	// An empty field sends an empty text.
	Show();
	windowtest::key(fDialog, kKeyBackspace);
	windowtest::key(fDialog, kKeyReturn);
	windowtest::settle(fDialog);
	EXPECT_EQ(Sent(), (std::vector<std::string>{""}));
}

TEST_F(SimpleInputTest, EscapeAndTheCloseBoxKeepWhatWasConfirmed)
{
	Show();
	Type("A");
	click_view(fDialog, fDialog->InputView()->OKButton());
	EXPECT_EQ(Sent(), (std::vector<std::string>{"A"}));

	Show();
	EXPECT_STREQ(fDialog->Data(), "A");
	Type("B");
	windowtest::key(fDialog, kKeyEscape);
	windowtest::settle(fDialog);
	EXPECT_TRUE(Hidden());
	EXPECT_TRUE(Sent().empty());
	Show();
	EXPECT_STREQ(fDialog->Data(), "A");

	Type("C");
	close_box(fDialog);
	EXPECT_TRUE(Hidden());
	EXPECT_TRUE(Sent().empty());
	EXPECT_STREQ(fDialog->Data(), "A");
}

TEST_F(SimpleInputTest, AcceleratorLettersPressTheButtons)
{
	Show();
	Type("Green");
	control_key(fDialog, letter('c'));
	windowtest::settle(fDialog);
	EXPECT_TRUE(Hidden());
	EXPECT_TRUE(Sent().empty());

	Show();
	Type("Green");
	control_key(fDialog, letter('o'));
	windowtest::settle(fDialog);
	EXPECT_TRUE(Hidden());
	EXPECT_EQ(Sent(), (std::vector<std::string>{"Green"}));
}

TEST_F(SimpleInputTest, LongLabelsMoveTheButtonsApart)
{
	fDialog->SetButtonLabel(B_DEFAULT_BUTTON, "O) Save these display settings now");
	BButton* ok = fDialog->InputView()->OKButton();
	BButton* cancel = fDialog->InputView()->CancelButton();
	BRect okFrame = windowtest::locked(fDialog, BRect(), [&](BWindow*) { return ok->Frame(); });
	BRect cancelFrame = windowtest::locked(fDialog, BRect(),
		[&](BWindow*) { return cancel->Frame(); });
	EXPECT_EQ(okFrame.right, 240);
	EXPECT_GT(okFrame.Width(), 80);
	EXPECT_EQ(cancelFrame.right + 10, okFrame.left);
	EXPECT_EQ(cancelFrame.top, 40) << "the buttons keep their height";
	EXPECT_LT(okFrame.top, cancelFrame.bottom);

	// The field's label fits before the field.
	BTextControl* field = fDialog->InputView()->DataControl();
	fDialog->SetDataLabel("N) Name of the display setting");
	EXPECT_GT(windowtest::locked(fDialog, 0.0f, [&](BWindow*) { return field->Divider(); }), 100);
}
