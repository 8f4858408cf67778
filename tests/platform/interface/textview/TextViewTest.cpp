// BTextView in a window, driven by injected keys and mouse.
#include <gtest/gtest.h>

#include "TextTestUtil.h"

#include <TextView.h>

#include <string>

using namespace texttest;

namespace {

struct Fixture {
	BWindow* window;
	BTextView* view;
};

Fixture make_text_window(const char* text = "")
{
	BWindow* window = new RecordingWindow();
	BTextView* view = new BTextView(BRect(10, 10, 309, 149), "text",
		BRect(4, 4, 295, 135), B_FOLLOW_ALL, B_WILL_DRAW | B_NAVIGABLE);
	view->SetText(text);
	window->AddChild(view);
	window->Show();
	locked(window, [&] { view->MakeFocus(true); });
	return {window, view};
}

std::string text_of(const Fixture& f)
{
	return locked(f.window, [&] { return std::string(f.view->Text()); });
}

std::pair<int32, int32> selection_of(const Fixture& f)
{
	return locked(f.window, [&] {
		int32 start, end;
		f.view->GetSelection(&start, &end);
		return std::make_pair(start, end);
	});
}

// A point of the view in window coordinates.
BPoint window_point(const Fixture& f, int32 offset, float dx = 0)
{
	return locked(f.window, [&] {
		float height;
		BPoint point = f.view->PointAt(offset, &height);
		point.x += dx;
		point.y += height / 2;
		return f.view->ConvertToScreen(point) - f.window->Frame().LeftTop();
	});
}

}

TEST(TextView, TypingEditsAtTheCaretAndKeysMoveAndSelect)
{
	Fixture f = make_text_window();
	windowtest::type(f.window, "hello world");
	EXPECT_EQ(text_of(f), "hello world");
	EXPECT_EQ(selection_of(f), std::make_pair(11, 11));

	for (int i = 0; i < 5; i++)
		windowtest::key(f.window, kLeft);
	EXPECT_EQ(selection_of(f), std::make_pair(6, 6));
	// Shift+Left twice selects the two characters before the caret.
	chord(f.window, kLeftShift, kLeft);
	chord(f.window, kLeftShift, kLeft);
	EXPECT_EQ(selection_of(f), std::make_pair(4, 6));
	// Shift+Right shrinks it again from the moving end.
	chord(f.window, kLeftShift, kRight);
	EXPECT_EQ(selection_of(f), std::make_pair(5, 6));
	windowtest::key(f.window, kBackspace);
	EXPECT_EQ(text_of(f), "helloworld");
	EXPECT_EQ(selection_of(f), std::make_pair(5, 5));

	windowtest::key(f.window, kDelete);
	EXPECT_EQ(text_of(f), "helloorld");
	windowtest::key(f.window, kHome);
	windowtest::key(f.window, kBackspace);    // nothing before the start
	windowtest::type(f.window, ">");
	windowtest::key(f.window, kEnd);
	windowtest::type(f.window, "!");
	EXPECT_EQ(text_of(f), ">helloorld!");

	// Typing replaces the selection.
	chord(f.window, kLeftAlt, kA);
	EXPECT_EQ(selection_of(f), std::make_pair(0, 11));
	windowtest::type(f.window, "new");
	EXPECT_EQ(text_of(f), "new");
	windowtest::quit(f.window);
}

TEST(TextView, ArrowsUpAndDownKeepTheColumnAcrossLines)
{
	Fixture f = make_text_window("abcdef\nab\nabcdef");
	locked(f.window, [&] { f.view->Select(4, 4); });
	windowtest::key(f.window, kDown);
	EXPECT_EQ(selection_of(f), std::make_pair(9, 9));     // end of the short line
	windowtest::key(f.window, kDown);
	EXPECT_EQ(selection_of(f), std::make_pair(14, 14));   // back in column 4
	windowtest::key(f.window, kDown);
	EXPECT_EQ(selection_of(f), std::make_pair(16, 16));   // past the last line: the end
	chord(f.window, kLeftShift, kUp);
	auto selection = selection_of(f);
	EXPECT_EQ(selection.second, 16);
	EXPECT_LT(selection.first, 10);
	windowtest::quit(f.window);
}

TEST(TextView, JapaneseTextMovesAndDeletesByWholeCharacters)
{
	Fixture f = make_text_window();
	windowtest::type(f.window, "日本語");
	EXPECT_EQ(text_of(f), "日本語");
	EXPECT_EQ(selection_of(f), std::make_pair(9, 9));
	windowtest::key(f.window, kLeft);
	EXPECT_EQ(selection_of(f), std::make_pair(6, 6));
	windowtest::key(f.window, kBackspace);
	EXPECT_EQ(text_of(f), "日語");
	EXPECT_EQ(selection_of(f), std::make_pair(3, 3));
	chord(f.window, kLeftShift, kRight);
	EXPECT_EQ(selection_of(f), std::make_pair(3, 6));
	windowtest::type(f.window, "本語の歌詞");
	EXPECT_EQ(text_of(f), "日本語の歌詞");

	// Offsets given inside a character are moved to its start; the caret
	// is drawn where the character begins.
	locked(f.window, [&] {
		f.view->Select(4, 8);
		int32 start, end;
		f.view->GetSelection(&start, &end);
		EXPECT_EQ(start, 3);
		EXPECT_EQ(end, 6);
		EXPECT_GT(f.view->PointAt(3).x, f.view->PointAt(0).x);
		EXPECT_EQ(f.view->PointAt(4).x, f.view->PointAt(3).x);
		f.view->Delete(1, 2);    // inside the first character: nothing half-deleted
		EXPECT_EQ(std::string(f.view->Text()).substr(0, 3), "日");
	});
	windowtest::quit(f.window);
}

TEST(TextView, ClipboardCopiesCutsAndPastesWithTheCommandKey)
{
	Fixture f = make_text_window();
	windowtest::type(f.window, "copy me");
	chord(f.window, kLeftAlt, kA);
	chord(f.window, kLeftAlt, kC);
	windowtest::key(f.window, kEnd);
	windowtest::type(f.window, " ");
	chord(f.window, kLeftAlt, kV);
	EXPECT_EQ(text_of(f), "copy me copy me");

	for (int i = 0; i < 3; i++)
		chord(f.window, kLeftShift, kLeft);
	chord(f.window, kLeftAlt, kX);
	EXPECT_EQ(text_of(f), "copy me copy");
	windowtest::key(f.window, kHome);
	chord(f.window, kLeftAlt, kV);
	EXPECT_EQ(text_of(f), " mecopy me copy");

	// Control works as the other desktops have it.
	chord(f.window, kLeftControl, kA);
	EXPECT_EQ(selection_of(f), std::make_pair(0, 15));
	chord(f.window, kLeftControl, kX);
	EXPECT_EQ(text_of(f), "");
	chord(f.window, kLeftControl, kV);
	chord(f.window, kLeftControl, kV);
	EXPECT_EQ(text_of(f), " mecopy me copy mecopy me copy");
	windowtest::quit(f.window);
}

TEST(TextView, ReadOnlyTextIgnoresTypingButCanBeSelectedAndCopied)
{
	Fixture f = make_text_window("read only");
	locked(f.window, [&] { f.view->MakeEditable(false); });
	windowtest::type(f.window, "x");
	windowtest::key(f.window, kBackspace);
	windowtest::key(f.window, kDelete);
	windowtest::key(f.window, kReturn);
	chord(f.window, kLeftAlt, kV);
	EXPECT_EQ(text_of(f), "read only");

	chord(f.window, kLeftAlt, kA);
	EXPECT_EQ(selection_of(f), std::make_pair(0, 9));
	chord(f.window, kLeftAlt, kX);    // cutting would change the text
	EXPECT_EQ(text_of(f), "read only");
	windowtest::quit(f.window);
}

TEST(TextView, MaxBytesAndDisallowedCharactersLimitWhatComesIn)
{
	Fixture f = make_text_window();
	locked(f.window, [&] {
		f.view->SetMaxBytes(7);
		f.view->DisallowChar('x');
	});
	windowtest::type(f.window, "axb");
	EXPECT_EQ(text_of(f), "ab");
	// Three bytes a character: the second would pass the cap.
	windowtest::type(f.window, "日本");
	EXPECT_EQ(text_of(f), "ab日");
	windowtest::type(f.window, "cdef");
	EXPECT_EQ(text_of(f), "ab日cd");
	locked(f.window, [&] {
		// Code may insert disallowed characters, but not past the cap.
		f.view->SetText("xxxxxxxxxx");
		EXPECT_STREQ(f.view->Text(), "xxxxxxx");
		// A lower cap cuts what is there, at a character boundary.
		f.view->SetText("日本語");
		f.view->SetMaxBytes(5);
		EXPECT_STREQ(f.view->Text(), "日");
	});
	windowtest::quit(f.window);
}

TEST(TextView, WrapsLongTextIntoLinesThatFitTheTextRect)
{
	Fixture f = make_text_window();
	locked(f.window, [&] {
		BTextView* view = f.view;
		std::string words;
		for (int i = 0; i < 40; i++)
			words += "lyrics ";
		view->SetText(words.c_str());
		int32 lines = view->CountLines();
		EXPECT_GT(lines, 2);
		float width = view->TextRect().Width() + 1;
		for (int32 i = 0; i < lines; i++)
			EXPECT_LE(view->LineWidth(i), width) << "line " << i;
		// Each line starts with a whole word.
		for (int32 i = 1; i < lines; i++)
			EXPECT_EQ(view->ByteAt(view->OffsetAt(i)), 'l') << "line " << i;
		EXPECT_FLOAT_EQ(view->TextHeight(0, lines - 1), lines * view->LineHeight());

		view->SetWordWrap(false);
		EXPECT_EQ(view->CountLines(), 1);
		view->SetText("first\nsecond\n");
		EXPECT_EQ(view->CountLines(), 3);
		EXPECT_EQ(view->LineAt(7), 1);
		EXPECT_EQ(view->OffsetAt(2), 13);

		// Japanese wraps too, though it has no spaces.
		view->SetWordWrap(true);
		std::string japanese;
		for (int i = 0; i < 60; i++)
			japanese += "歌";
		view->SetText(japanese.c_str());
		EXPECT_GT(view->CountLines(), 1);
		for (int32 i = 0; i < view->CountLines(); i++)
			EXPECT_EQ(view->OffsetAt(i) % 3, 0);
	});
	windowtest::quit(f.window);
}

TEST(TextView, MousePlacesTheCaretDragsASelectionAndDoubleClickTakesAWord)
{
	Fixture f = make_text_window("hello wide world");
	BPoint at6 = window_point(f, 6, 1);
	windowtest::click(f.window, (int32)at6.x, (int32)at6.y);
	EXPECT_EQ(selection_of(f), std::make_pair(6, 6));

	BPoint from = window_point(f, 0, 1);
	BPoint to = window_point(f, 5, 1);
	windowtest::mouse_button(f.window, (int32)from.x, (int32)from.y, true);
	windowtest::mouse_move(f.window, (int32)to.x, (int32)to.y);
	windowtest::mouse_button(f.window, (int32)to.x, (int32)to.y, false);
	EXPECT_EQ(selection_of(f), std::make_pair(0, 5));

	// Far below the text is its end; far left of a line is its start.
	windowtest::click(f.window, 200, 140);
	EXPECT_EQ(selection_of(f), std::make_pair(16, 16));

	BPoint word = window_point(f, 8, 1);
	windowtest::click(f.window, (int32)word.x, (int32)word.y);
	windowtest::click(f.window, (int32)word.x, (int32)word.y);
	EXPECT_EQ(selection_of(f), std::make_pair(6, 10));
	windowtest::quit(f.window);
}

TEST(TextView, EnterTakesALineFeedAndTabMovesTheFocus)
{
	BWindow* window = new RecordingWindow();
	BTextView* first = new BTextView(BRect(10, 10, 149, 79), "first",
		BRect(2, 2, 135, 60), B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE);
	BTextView* second = new BTextView(BRect(160, 10, 309, 79), "second",
		BRect(2, 2, 135, 60), B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE);
	window->AddChild(first);
	window->AddChild(second);
	window->Show();
	locked(window, [&] { first->MakeFocus(true); });
	windowtest::type(window, "a");
	windowtest::key(window, kReturn);
	windowtest::type(window, "b");
	EXPECT_EQ(locked(window, [&] { return std::string(first->Text()); }), "a\nb");
	EXPECT_EQ(locked(window, [&] { return first->CountLines(); }), 2);

	windowtest::key(window, kTab);
	EXPECT_TRUE(locked(window, [&] { return second->IsFocus(); }));
	windowtest::type(window, "c");
	EXPECT_EQ(locked(window, [&] { return std::string(second->Text()); }), "c");
	EXPECT_EQ(locked(window, [&] { return std::string(first->Text()); }), "a\nb");
	windowtest::quit(window);
}

TEST(TextView, DrawsEveryLineOfReadOnlyTextAndACaretWhenEditable)
{
	Fixture f = make_text_window();
	float lineHeight = 0;
	float top = 0;
	locked(f.window, [&] {
		f.view->SetText("Verso Displayer\n歌詞表示\n\nversion 1.0");
		f.view->MakeEditable(false);
		lineHeight = f.view->LineHeight();
		top = f.view->TextRect().top + 10;    // window coordinates
	});
	windowtest::Pixels pixels(f.window);
	auto band_has_ink = [&](int32 line) {
		for (int32 y = (int32)(top + line * lineHeight);
				y < (int32)(top + (line + 1) * lineHeight); y++) {
			for (int32 x = 10; x < 310; x++) {
				if (pixels.At(x, y) != 0xffffff)
					return true;
			}
		}
		return false;
	};
	EXPECT_TRUE(band_has_ink(0));
	EXPECT_TRUE(band_has_ink(1));     // the Japanese line
	EXPECT_FALSE(band_has_ink(2));    // the empty line
	EXPECT_TRUE(band_has_ink(3));

	// An editable, focused, empty view shows only its caret: one column.
	locked(f.window, [&] {
		f.view->SetText("");
		f.view->MakeEditable(true);
	});
	windowtest::Pixels caret(f.window);
	int32 columns = 0;
	for (int32 x = 10; x < 310; x++) {
		if (caret.At(x, (int32)(top + lineHeight / 2)) != 0xffffff)
			columns++;
	}
	EXPECT_EQ(columns, 1);
	windowtest::quit(f.window);
}

TEST(TextView, ArchiveKeepsTextAndBehaviour)
{
	BTextView view(BRect(0, 0, 99, 49), "archived", BRect(2, 2, 97, 47),
		B_FOLLOW_ALL, B_WILL_DRAW);
	view.SetText("歌詞 text");
	view.MakeEditable(false);
	view.SetWordWrap(false);
	view.SetAlignment(B_ALIGN_CENTER);
	view.SetMaxBytes(40);
	view.DisallowChar('#');
	BMessage archive;
	ASSERT_EQ(view.Archive(&archive), B_OK);

	BArchivable* object = instantiate_object(&archive);
	BTextView* copy = dynamic_cast<BTextView*>(object);
	ASSERT_NE(copy, nullptr);
	EXPECT_STREQ(copy->Text(), "歌詞 text");
	EXPECT_FALSE(copy->IsEditable());
	EXPECT_TRUE(copy->IsSelectable());
	EXPECT_FALSE(copy->DoesWordWrap());
	EXPECT_EQ(copy->Alignment(), B_ALIGN_CENTER);
	EXPECT_EQ(copy->MaxBytes(), 40);
	EXPECT_EQ(copy->TextRect().left, 2);
	delete object;
}
