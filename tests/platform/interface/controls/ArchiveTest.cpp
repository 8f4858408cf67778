// Controls archived, flattened, sent as bytes and rebuilt by class name.
#include <gtest/gtest.h>

#include "ControlTestUtil.h"

#include <Box.h>
#include <Button.h>
#include <CheckBox.h>
#include <ColorControl.h>
#include <RadioButton.h>
#include <StringView.h>
#include <TabView.h>

#include <memory>
#include <vector>

namespace {

// Archive → flatten → unflatten → instantiate, as between two processes.
template<typename T>
T* round_trip(const BArchivable* object, bool deep = true)
{
	BMessage archive;
	EXPECT_EQ(object->Archive(&archive, deep), B_OK);
	ssize_t size = archive.FlattenedSize();
	std::vector<char> bytes(size);
	EXPECT_EQ(archive.Flatten(bytes.data(), size), B_OK);
	BMessage unflattened;
	EXPECT_EQ(unflattened.Unflatten(bytes.data()), B_OK);
	BArchivable* rebuilt = instantiate_object(&unflattened);
	T* typed = dynamic_cast<T*>(rebuilt);
	EXPECT_NE(typed, nullptr);
	if (typed == nullptr)
		delete rebuilt;
	return typed;
}

BMessage* message_with(uint32 what, const char* key, int32 value)
{
	BMessage* message = new BMessage(what);
	message->AddInt32(key, value);
	return message;
}

}

TEST(Archive, ControlsKeepLabelValueMessageAndState)
{
	BCheckBox box(BRect(10, 10, 32, 28), "CBoxStayOnTop", "Stay on top",
		message_with('cstc', "extra", 7));
	box.SetValue(B_CONTROL_ON);
	box.SetEnabled(false);
	std::unique_ptr<BCheckBox> copy(round_trip<BCheckBox>(&box));
	ASSERT_TRUE(copy);
	EXPECT_STREQ(copy->Name(), "CBoxStayOnTop");
	EXPECT_STREQ(copy->Label(), "Stay on top");
	EXPECT_EQ(copy->Value(), B_CONTROL_ON);
	EXPECT_FALSE(copy->IsEnabled());
	EXPECT_EQ(copy->Frame(), box.Frame());
	ASSERT_NE(copy->Message(), nullptr);
	EXPECT_EQ(copy->Message()->what, 'cstc');
	EXPECT_EQ(copy->Message()->FindInt32("extra"), 7);
	// Out of the Tab order only while disabled.
	copy->SetEnabled(true);
	EXPECT_NE(copy->Flags() & B_NAVIGABLE, 0u);

	BColorControl color(BPoint(70, 70), B_CELLS_16x16, 4, "ColCtrl", new BMessage('capc'));
	color.SetValue(make_color(1, 2, 3));
	std::unique_ptr<BColorControl> colorCopy(round_trip<BColorControl>(&color));
	ASSERT_TRUE(colorCopy);
	EXPECT_EQ(colorCopy->Layout(), B_CELLS_16x16);
	EXPECT_EQ(colorCopy->CellSize(), 4);
	EXPECT_EQ(colorCopy->Value(), color.Value());
	EXPECT_EQ(colorCopy->Message()->what, 'capc');

	BStringView text(BRect(0, 0, 99, 19), "StrView", "Status");
	text.SetAlignment(B_ALIGN_CENTER);
	std::unique_ptr<BStringView> textCopy(round_trip<BStringView>(&text));
	ASSERT_TRUE(textCopy);
	EXPECT_STREQ(textCopy->Text(), "Status");
	EXPECT_EQ(textCopy->Alignment(), B_ALIGN_CENTER);

	// A label-less, message-less control comes back without them.
	BButton bare(BRect(0, 0, 79, 23), "bare", NULL, NULL);
	std::unique_ptr<BButton> bareCopy(round_trip<BButton>(&bare));
	ASSERT_TRUE(bareCopy);
	EXPECT_EQ(bareCopy->Label(), nullptr);
	EXPECT_EQ(bareCopy->Message(), nullptr);
}

TEST(Archive, TreeWithTabsBoxAndRadioGroupWorksInItsNewWindow)
{
	BView* root = new BView(BRect(0, 0, 299, 249), "PrefView", B_FOLLOW_NONE, B_WILL_DRAW);
	BTabView* tabs = new BTabView(BRect(0, 5, 299, 200), "TabViewCategory");
	tabs->SetTabHeight(20);
	BView* general = new BView(BRect(0, 0, 280, 160), "General", B_FOLLOW_NONE, B_WILL_DRAW);
	general->AddChild(new BCheckBox(BRect(10, 10, 150, 28), "CBoxStayOnTop", "On top",
		new BMessage('cstc')));
	BView* image = new BView(BRect(0, 0, 280, 160), "Image", B_FOLLOW_NONE, B_WILL_DRAW);
	BBox* align = new BBox(BRect(10, 10, 200, 100), "BoxBGImageAlign");
	align->SetLabel("Alignment");
	align->SetBorder(B_PLAIN_BORDER);
	align->AddChild(new BRadioButton(BRect(10, 20, 150, 37), "RButtonTile", "Tile",
		new BMessage('rtil')));
	BRadioButton* scale = new BRadioButton(BRect(10, 45, 150, 62), "RButtonScaleToFit",
		"Scale", new BMessage('rsca'));
	scale->SetValue(B_CONTROL_ON);
	align->AddChild(scale);
	image->AddChild(align);
	tabs->AddTab(general);
	tabs->AddTab(image);
	tabs->Select(1);
	root->AddChild(tabs);
	BButton* ok = new BButton(BRect(200, 215, 279, 239), "ButtonOK", "OK", new BMessage('ok  '));
	ok->MakeDefault(true);
	root->AddChild(ok);

	BView* copy = round_trip<BView>(root);
	delete root;
	ASSERT_NE(copy, nullptr);

	BTabView* tabsCopy = dynamic_cast<BTabView*>(copy->FindView("TabViewCategory"));
	ASSERT_NE(tabsCopy, nullptr);
	EXPECT_EQ(tabsCopy->CountTabs(), 2);
	EXPECT_EQ(tabsCopy->TabHeight(), 20);
	EXPECT_EQ(tabsCopy->Selection(), 1);
	EXPECT_STREQ(tabsCopy->TabAt(0)->Label(), "General");
	// Only the selected page is in the tree; the other waits in its tab.
	EXPECT_EQ(copy->FindView("CBoxStayOnTop"), nullptr);
	BCheckBox* check = dynamic_cast<BCheckBox*>(tabsCopy->ViewForTab(0)->FindView("CBoxStayOnTop"));
	ASSERT_NE(check, nullptr);
	EXPECT_EQ(check->Message()->what, 'cstc');

	BBox* boxCopy = dynamic_cast<BBox*>(copy->FindView("BoxBGImageAlign"));
	ASSERT_NE(boxCopy, nullptr);
	EXPECT_STREQ(boxCopy->Label(), "Alignment");
	EXPECT_EQ(boxCopy->Border(), B_PLAIN_BORDER);
	auto* tile = dynamic_cast<BRadioButton*>(copy->FindView("RButtonTile"));
	auto* scaleCopy = dynamic_cast<BRadioButton*>(copy->FindView("RButtonScaleToFit"));
	ASSERT_NE(tile, nullptr);
	ASSERT_NE(scaleCopy, nullptr);
	EXPECT_EQ(scaleCopy->Value(), B_CONTROL_ON);
	EXPECT_EQ(tile->Value(), B_CONTROL_OFF);

	BButton* okCopy = dynamic_cast<BButton*>(copy->FindView("ButtonOK"));
	ASSERT_NE(okCopy, nullptr);
	// Stored with its own frame, grown again as the default of its window.
	EXPECT_EQ(okCopy->Frame(), BRect(200, 215, 279, 239));

	// In a window, the rebuilt controls talk to it and behave as before.
	controltest::Receiver* receiver = controltest::Receiver::Start();
	BWindow* window = controltest::make_window(BRect(100, 100, 399, 349));
	window->AddChild(copy);
	window->Lock();
	EXPECT_EQ(window->DefaultButton(), okCopy);
	EXPECT_EQ(okCopy->Frame(), BRect(197, 212, 282, 242));
	tile->SetTarget(receiver);
	window->Unlock();
	window->Show();
	BPoint c = controltest::centre_in_window(tile);
	windowtest::click(window, c.x, c.y);
	window->Lock();
	EXPECT_EQ(tile->Value(), B_CONTROL_ON);
	EXPECT_EQ(scaleCopy->Value(), B_CONTROL_OFF);
	window->Unlock();
	ASSERT_TRUE(receiver->WaitFor(1));
	EXPECT_EQ(receiver->At(0).what, 'rtil');
	windowtest::quit(window);
	controltest::Receiver::Stop(receiver);
}

TEST(Archive, UnknownOrDamagedFieldsFallBackToDefaults)
{
	// A hand-made archive with values out of range: rebuilt, not trusted.
	BMessage archive;
	archive.AddString("class", "BColorControl");
	archive.AddRect("_frame", BRect(0, 0, 100, 50));
	archive.AddString("_name", "odd");
	archive.AddInt32("_layout", 7);
	archive.AddFloat("_csize", -3);
	std::unique_ptr<BColorControl> color(dynamic_cast<BColorControl*>(instantiate_object(&archive)));
	ASSERT_TRUE(color);
	EXPECT_EQ(color->Layout(), B_CELLS_32x8);
	EXPECT_GE(color->CellSize(), 1);

	BMessage tabs;
	tabs.AddString("class", "BTabView");
	tabs.AddRect("_frame", BRect(0, 0, 100, 50));
	tabs.AddInt32("_sel", 5);
	BMessage notATab('junk');
	tabs.AddMessage("_l_items", &notATab);
	std::unique_ptr<BTabView> tabView(dynamic_cast<BTabView*>(instantiate_object(&tabs)));
	ASSERT_TRUE(tabView);
	EXPECT_EQ(tabView->CountTabs(), 0);
	EXPECT_EQ(tabView->Selection(), -1);
}
