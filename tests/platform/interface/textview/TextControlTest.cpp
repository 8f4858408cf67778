// BTextControl: the messages it sends while typed in and set from code, and
// its archive.
#include <gtest/gtest.h>

#include "TextTestUtil.h"

#include <Button.h>
#include <TextControl.h>
#include <TextView.h>

#include <string>

using namespace texttest;

namespace {

const uint32 kModified = 'tfsc';
const uint32 kInvoked = 'tinv';
const uint32 kOK = '_ok';

struct Fixture {
	RecordingWindow* window;
	BTextControl* control;
	BTextControl* other;
	BButton* ok;
};

Fixture make_control_window(bool withInvocation = true)
{
	RecordingWindow* window = new RecordingWindow();
	BTextControl* control = new BTextControl(BRect(10, 10, 240, 29), "TxtCtrlFontSize",
		"Size", "12", withInvocation ? new BMessage(kInvoked) : NULL);
	control->SetModificationMessage(new BMessage(kModified));
	control->SetDivider(40);
	BTextControl* other = new BTextControl(BRect(10, 40, 240, 59), "other", "Other",
		"", NULL);
	BButton* ok = new BButton(BRect(200, 120, 280, 144), "ButtonOK", "OK",
		new BMessage(kOK));
	window->AddChild(control);
	window->AddChild(other);
	window->AddChild(ok);
	window->SetDefaultButton(ok);
	window->Show();
	locked(window, [&] { control->MakeFocus(true); });
	return {window, control, other, ok};
}

std::string text_of(const Fixture& f)
{
	return locked(f.window, [&] { return std::string(f.control->Text()); });
}

}

TEST(TextControl, EveryKeystrokeAndEverySetTextSendsOneModificationMessage)
{
	Fixture f = make_control_window();
	// Focus by code selected the text: the first key replaces it (a delete
	// and an insert), and still counts once.
	windowtest::type(f.window, "1");
	ASSERT_TRUE(testutil::wait_for([&] { return f.window->Count(kModified) == 1; }));
	windowtest::type(f.window, "4");
	windowtest::key(f.window, kBackspace);
	windowtest::type(f.window, "6");
	ASSERT_TRUE(testutil::wait_for([&] { return f.window->Count(kModified) == 4; }));
	EXPECT_EQ(text_of(f), "16");

	// Keys that change nothing send nothing.
	windowtest::key(f.window, kLeft);
	windowtest::key(f.window, kHome);
	windowtest::key(f.window, kBackspace);

	locked(f.window, [&] {
		f.control->SetText("20");
		f.control->SetText("20");    // the same text again: still a message
		f.control->SetText("");
	});
	ASSERT_TRUE(testutil::wait_for([&] { return f.window->Count(kModified) == 7; }));
	windowtest::settle(f.window);
	EXPECT_EQ(f.window->Count(kModified), 7);

	// The messages carry the control as their source.
	std::vector<BMessage> messages = f.window->Messages(kModified);
	void* source = NULL;
	ASSERT_EQ(messages.back().FindPointer("source", &source), B_OK);
	EXPECT_EQ(source, f.control);
	EXPECT_TRUE(messages.back().HasInt64("when"));
	// Nothing was invoked by any of it.
	EXPECT_EQ(f.window->Count(kInvoked), 0);
	windowtest::quit(f.window);
}

TEST(TextControl, PasteAndCutAreOneChangeEachAndLineBreaksBecomeSpaces)
{
	Fixture f = make_control_window();
	locked(f.window, [&] {
		BTextView* probe = f.other->TextView();
		probe->SetText("a\nb");
		probe->SelectAll();
		probe->Copy(NULL);
	});
	f.window->Forget();
	chord(f.window, kLeftAlt, kV);     // replaces the selected "12"
	ASSERT_TRUE(testutil::wait_for([&] { return f.window->Count(kModified) == 1; }));
	EXPECT_EQ(text_of(f), "a b");
	chord(f.window, kLeftAlt, kA);
	chord(f.window, kLeftAlt, kX);
	ASSERT_TRUE(testutil::wait_for([&] { return f.window->Count(kModified) == 2; }));
	EXPECT_EQ(text_of(f), "");
	windowtest::quit(f.window);
}

TEST(TextControl, EnterInvokesAndThenPressesTheDefaultButton)
{
	Fixture f = make_control_window();
	windowtest::type(f.window, "18");
	windowtest::key(f.window, kReturn);
	ASSERT_TRUE(testutil::wait_for([&] {
		return f.window->Count(kInvoked) == 1 && f.window->Count(kOK) == 1;
	}));
	std::vector<BMessage> invoked = f.window->Messages(kInvoked);
	void* source = NULL;
	invoked[0].FindPointer("source", &source);
	EXPECT_EQ(source, f.control);
	// The text is selected for the next entry; Enter changed nothing.
	EXPECT_EQ(text_of(f), "18");
	locked(f.window, [&] {
		int32 start, end;
		f.control->TextView()->GetSelection(&start, &end);
		EXPECT_EQ(start, 0);
		EXPECT_EQ(end, 2);
	});

	// Having been invoked by Enter, leaving adds no second invocation.
	windowtest::key(f.window, kTab);
	windowtest::settle(f.window);
	EXPECT_EQ(f.window->Count(kInvoked), 1);
	windowtest::quit(f.window);
}

TEST(TextControl, EnterWithoutAnInvocationMessageStillReachesTheDefaultButton)
{
	Fixture f = make_control_window(false);
	windowtest::key(f.window, kReturn);
	ASSERT_TRUE(testutil::wait_for([&] { return f.window->Count(kOK) == 1; }));
	windowtest::quit(f.window);
}

TEST(TextControl, LeavingAfterAChangeInvokesButLeavingUnchangedDoesNot)
{
	Fixture f = make_control_window();
	// Tab moves the focus to the next field without invoking anything.
	windowtest::key(f.window, kTab);
	EXPECT_TRUE(locked(f.window, [&] { return f.other->TextView()->IsFocus(); }));
	windowtest::settle(f.window);
	EXPECT_EQ(f.window->Count(kInvoked), 0);

	// Text set in code is not the user's change either.
	locked(f.window, [&] {
		f.control->SetText("30");
		f.control->MakeFocus(true);
		f.other->MakeFocus(true);
	});
	windowtest::settle(f.window);
	EXPECT_EQ(f.window->Count(kInvoked), 0);

	// Typed, then the focus goes to the other field by a click.
	locked(f.window, [&] { f.control->MakeFocus(true); });
	windowtest::type(f.window, "9");
	BPoint inOther = locked(f.window, [&] {
		return f.other->Frame().LeftTop() + BPoint(f.other->Divider() + 10, 8);
	});
	windowtest::click(f.window, (int32)inOther.x, (int32)inOther.y);
	ASSERT_TRUE(testutil::wait_for([&] { return f.window->Count(kInvoked) == 1; }));
	EXPECT_TRUE(locked(f.window, [&] { return f.other->TextView()->IsFocus(); }));
	EXPECT_EQ(text_of(f), "9");
	windowtest::quit(f.window);
}

TEST(TextControl, DisabledControlTakesNoFocusAndNoTyping)
{
	Fixture f = make_control_window();
	locked(f.window, [&] { f.control->SetEnabled(false); });
	EXPECT_FALSE(locked(f.window, [&] { return f.control->TextView()->IsFocus(); }));
	windowtest::type(f.window, "7");
	EXPECT_EQ(text_of(f), "12");
	// Tab skips it.
	locked(f.window, [&] { f.other->MakeFocus(true); });
	windowtest::key(f.window, kTab);
	EXPECT_FALSE(locked(f.window, [&] { return f.control->TextView()->IsFocus(); }));
	locked(f.window, [&] { f.control->SetEnabled(true); });
	locked(f.window, [&] { f.other->MakeFocus(true); });
	windowtest::key(f.window, kTab);
	windowtest::key(f.window, kTab);
	EXPECT_TRUE(locked(f.window, [&] { return f.control->TextView()->IsFocus(); }));
	windowtest::quit(f.window);
}

TEST(TextControl, LayoutPutsTheFieldRightOfTheDivider)
{
	Fixture f = make_control_window();
	locked(f.window, [&] {
		BRect field = f.control->TextView()->Frame();
		EXPECT_GT(field.left, f.control->Divider());
		EXPECT_LT(field.left, f.control->Divider() + 6);
		EXPECT_LE(field.right, f.control->Bounds().right);
		f.control->SetDivider(100);
		EXPECT_FLOAT_EQ(f.control->Divider(), 100);
		EXPECT_GT(f.control->TextView()->Frame().left, 100);
		// The field's line fits in the control's height.
		BTextView* text = f.control->TextView();
		EXPECT_LE(text->Frame().top + text->TextRect().top + text->LineHeight(),
			f.control->Bounds().bottom + 1);
	});
	windowtest::quit(f.window);
}

TEST(TextControl, ArchiveRoundTripKeepsLabelTextMessagesAndLayout)
{
	BTextControl control(BRect(10, 10, 240, 29), "TxtCtrlBGImageFName", "File",
		"/home/user/背景.png", new BMessage(kInvoked));
	control.SetModificationMessage(new BMessage('tbic'));
	control.SetDivider(3);
	control.SetAlignment(B_ALIGN_RIGHT, B_ALIGN_CENTER);

	BMessage archive;
	ASSERT_EQ(control.Archive(&archive), B_OK);
	// Through the flattened form, as archives travel between processes.
	ssize_t size = archive.FlattenedSize();
	std::vector<char> buffer(size);
	ASSERT_EQ(archive.Flatten(buffer.data(), size), B_OK);
	BMessage restored;
	ASSERT_EQ(restored.Unflatten(buffer.data()), B_OK);

	BArchivable* object = instantiate_object(&restored);
	BTextControl* copy = dynamic_cast<BTextControl*>(object);
	ASSERT_NE(copy, nullptr);
	EXPECT_STREQ(copy->Label(), "File");
	EXPECT_STREQ(copy->Text(), "/home/user/背景.png");
	EXPECT_STREQ(copy->Name(), "TxtCtrlBGImageFName");
	ASSERT_NE(copy->Message(), nullptr);
	EXPECT_EQ(copy->Message()->what, kInvoked);
	ASSERT_NE(copy->ModificationMessage(), nullptr);
	EXPECT_EQ(copy->ModificationMessage()->what, (uint32)'tbic');
	EXPECT_FLOAT_EQ(copy->Divider(), 3);
	alignment label, text;
	copy->GetAlignment(&label, &text);
	EXPECT_EQ(label, B_ALIGN_RIGHT);
	EXPECT_EQ(text, B_ALIGN_CENTER);
	// One field, not the archived one plus a new one.
	ASSERT_EQ(copy->CountChildren(), 1);
	EXPECT_EQ(copy->ChildAt(0), copy->TextView());
	EXPECT_NE(copy->TextView()->Flags() & B_NAVIGABLE, 0u);
	EXPECT_EQ(copy->Flags() & B_NAVIGABLE, 0u);

	// A shallow archive rebuilds its field too.
	BMessage shallow;
	ASSERT_EQ(control.Archive(&shallow, false), B_OK);
	BTextControl* fromShallow = dynamic_cast<BTextControl*>(instantiate_object(&shallow));
	ASSERT_NE(fromShallow, nullptr);
	EXPECT_STREQ(fromShallow->Text(), "/home/user/背景.png");
	EXPECT_EQ(fromShallow->CountChildren(), 1);
	delete fromShallow;
	delete object;
}
