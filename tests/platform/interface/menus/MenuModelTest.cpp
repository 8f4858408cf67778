// Menus as data: items, marks, labels, invocation and archives.
#include <gtest/gtest.h>

#include "MenuTestUtil.h"

#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

#include <string.h>

#include <vector>

using namespace menutest;

TEST(MenuModel, ItemsAreAddedRemovedAndFound)
{
	BMenu menu("menu");
	BMenuItem* open = add_item(&menu, "Open", 'open');
	BMenuItem* quit = add_item(&menu, "Quit", 'quit');
	EXPECT_TRUE(menu.AddItem(new BMenuItem("First", new BMessage('frst')), 0));
	EXPECT_TRUE(menu.AddSeparatorItem());
	BMenu* sub = new BMenu("More");
	BMenuItem* deep = add_item(sub, "Deep", 'deep');
	EXPECT_TRUE(menu.AddItem(sub, 1));
	EXPECT_FALSE(menu.AddItem(open)) << "an item belongs to one menu";
	BMenuItem* stray = new BMenuItem("x", NULL);
	EXPECT_FALSE(menu.AddItem(stray, 99));
	delete stray;

	// First, More, Open, Quit, separator.
	ASSERT_EQ(menu.CountItems(), 5);
	EXPECT_STREQ(menu.ItemAt(0)->Label(), "First");
	EXPECT_EQ(menu.SubmenuAt(1), sub);
	EXPECT_STREQ(menu.ItemAt(1)->Label(), "More");
	EXPECT_EQ(sub->Supermenu(), &menu);
	EXPECT_EQ(sub->Superitem(), menu.ItemAt(1));
	EXPECT_EQ(menu.IndexOf(quit), 3);
	EXPECT_EQ(menu.IndexOf(sub), 1);
	EXPECT_EQ(menu.ItemAt(5), nullptr);
	EXPECT_EQ(menu.FindItem('deep'), deep) << "submenus are searched";
	EXPECT_EQ(menu.FindItem("Deep"), deep);
	EXPECT_EQ(menu.FindItem("Nothing"), nullptr);
	EXPECT_FALSE(menu.ItemAt(4)->IsEnabled()) << "separators are never chosen";

	EXPECT_TRUE(menu.RemoveItem(open));
	EXPECT_EQ(open->Menu(), nullptr);
	delete open;
	BMenuItem* first = menu.RemoveItem((int32)0);
	ASSERT_NE(first, nullptr);
	EXPECT_STREQ(first->Label(), "First");
	delete first;
	EXPECT_TRUE(menu.RemoveItem(sub)) << "the submenu comes back, its item goes";
	EXPECT_EQ(sub->Superitem(), nullptr);
	EXPECT_EQ(sub->FindItem('deep'), deep);
	delete sub;
	ASSERT_EQ(menu.CountItems(), 2);
	EXPECT_FALSE(menu.RemoveItems(1, 5));
	EXPECT_TRUE(menu.RemoveItems(0, 2, true));
	EXPECT_EQ(menu.CountItems(), 0);

	// An item deleted while in its menu leaves it.
	BMenuItem* gone = add_item(&menu, "Gone", 'gone');
	delete gone;
	EXPECT_EQ(menu.CountItems(), 0);
}

TEST(MenuModel, DisablingAMenuDisablesItsItemsAndItsControllingItem)
{
	BMenu menu("menu");
	BMenu* sub = new BMenu("Sub");
	BMenuItem* inner = add_item(sub, "Inner", 'innr');
	menu.AddItem(sub);
	sub->SetEnabled(false);
	EXPECT_FALSE(inner->IsEnabled());
	EXPECT_FALSE(menu.ItemAt(0)->IsEnabled());
	menu.ItemAt(0)->SetEnabled(true);
	EXPECT_TRUE(sub->IsEnabled());
	EXPECT_TRUE(inner->IsEnabled());
}

TEST(MenuModel, RadioModeKeepsOneMarkAndTheLabelFollowsIt)
{
	BPopUpMenu* popup = new BPopUpMenu("Choose");
	EXPECT_TRUE(popup->IsRadioMode());
	EXPECT_TRUE(popup->IsLabelFromMarked());
	BMenuItem* a = add_item(popup, "Alpha", 'a');
	BMenuItem* b = add_item(popup, "Beta", 'b');
	BMenuField field(BRect(0, 0, 199, 21), "field", "Pick:", popup);
	EXPECT_STREQ(field.MenuItem()->Label(), "Choose") << "nothing marked: the menu's name";

	a->SetMarked(true);
	b->SetMarked(true);
	EXPECT_FALSE(a->IsMarked());
	EXPECT_TRUE(b->IsMarked());
	EXPECT_EQ(popup->FindMarked(), b);
	EXPECT_STREQ(field.MenuItem()->Label(), "Beta");

	// A marked item added later takes the mark and the label.
	BMenuItem* c = new BMenuItem("Gamma", new BMessage('c'));
	c->SetMarked(true);
	popup->AddItem(c);
	EXPECT_FALSE(b->IsMarked());
	EXPECT_STREQ(field.MenuItem()->Label(), "Gamma");

	// Without radio mode several marks may stand, and the label stays.
	popup->SetRadioMode(false);
	EXPECT_FALSE(popup->IsLabelFromMarked());
	a->SetMarked(true);
	EXPECT_TRUE(a->IsMarked());
	EXPECT_TRUE(c->IsMarked());
	EXPECT_STREQ(field.MenuItem()->Label(), "Gamma");
}

TEST(MenuModel, InvokeAddsWhenSourceAndIndexAndSkipsDisabledItems)
{
	Collector* collector = start_collector();
	BMenu menu("menu");
	add_item(&menu, "Zero", 'zero');
	BMessage* model = new BMessage('one ');
	model->AddString("extra", "kept");
	BMenuItem* one = new BMenuItem("One", model);
	menu.AddItem(one);
	EXPECT_EQ(menu.SetTargetForItems(collector), B_OK);

	EXPECT_EQ(one->Invoke(), B_OK);
	ASSERT_TRUE(collector->WaitFor(1));
	BMessage sent = collector->At(0);
	EXPECT_EQ(sent.what, (uint32)'one ');
	EXPECT_STREQ(str(sent, "extra"), "kept");
	EXPECT_GT(i64(sent, "when"), 0);
	EXPECT_EQ(ptr(sent, "source"), one);
	EXPECT_EQ(i32(sent, "index"), 1);

	one->SetEnabled(false);
	EXPECT_NE(one->Invoke(), B_OK);
	menu.ItemAt(0)->Invoke();
	ASSERT_TRUE(collector->WaitFor(2));
	EXPECT_EQ(collector->At(1).what, (uint32)'zero') << "the disabled item sent nothing";
	stop(collector);
}

TEST(MenuModel, ShortcutsReadAsTheKeyboardNamesThem)
{
	char text[32];
	BPrivate::shortcut_text('s', 0, text, sizeof(text));
	EXPECT_STREQ(text, "Alt+S");
	BPrivate::shortcut_text('q', B_SHIFT_KEY | B_CONTROL_KEY, text, sizeof(text));
	EXPECT_STREQ(text, "Ctrl+Alt+Shift+Q");
	BMenuItem item("Save", NULL, 'S');
	uint32 modifiers = 0;
	EXPECT_EQ(item.Shortcut(&modifiers), 'S');
	EXPECT_EQ(modifiers, (uint32)B_COMMAND_KEY);
}

// An archived menu field survives being flattened, sent and rebuilt: its
// label, divider, the menu's mode, its items with their messages, marks,
// states, shortcuts and submenus.
TEST(MenuArchive, MenuFieldSurvivesFlattenAndInstantiate)
{
	BPopUpMenu* popup = new BPopUpMenu("Format");
	BMessage* value = new BMessage('ictc');
	value->AddString("AccKeyFormat", "a) ");
	BMenuItem* first = new BMenuItem("a) ", value);
	popup->AddItem(first);
	BMenuItem* second = add_item(popup, "(a) ", 'ictc', 'P', B_SHIFT_KEY);
	popup->AddSeparatorItem();
	BMenuItem* off = add_item(popup, "(None)", 'ictc');
	off->SetEnabled(false);
	BMenu* sub = new BMenu("More");
	add_item(sub, "Deeper", 'deep');
	popup->AddItem(sub);
	second->SetMarked(true);

	BMenuField original(BRect(10, 10, 260, 32), "MFieldFormat", "Accelerator Format: ",
		popup);
	original.SetDivider(120);
	BMessage archive;
	ASSERT_EQ(original.Archive(&archive, true), B_OK);
	std::vector<char> flat(archive.FlattenedSize());
	ASSERT_EQ(archive.Flatten(flat.data(), flat.size()), B_OK);
	BMessage received;
	ASSERT_EQ(received.Unflatten(flat.data()), B_OK);

	BArchivable* object = instantiate_object(&received);
	BMenuField* field = dynamic_cast<BMenuField*>(object);
	ASSERT_NE(field, nullptr);
	EXPECT_STREQ(field->Name(), "MFieldFormat");
	EXPECT_STREQ(field->Label(), "Accelerator Format: ");
	EXPECT_EQ(field->Divider(), 120);
	ASSERT_NE(field->MenuBar(), nullptr);
	EXPECT_EQ(field->MenuBar()->Parent(), field);
	BMenu* menu = field->Menu();
	ASSERT_NE(dynamic_cast<BPopUpMenu*>(menu), nullptr);
	EXPECT_TRUE(menu->IsLabelFromMarked());
	EXPECT_TRUE(menu->IsRadioMode());
	ASSERT_EQ(menu->CountItems(), 5);
	EXPECT_STREQ(field->MenuItem()->Label(), "(a) ") << "the button shows the marked item";
	EXPECT_EQ(field->MenuItem()->Submenu(), menu);

	BMenuItem* restored = menu->ItemAt(0);
	ASSERT_NE(restored->Message(), nullptr);
	EXPECT_EQ(restored->Message()->what, (uint32)'ictc');
	EXPECT_STREQ(str(*restored->Message(), "AccKeyFormat"), "a) ");
	EXPECT_FALSE(restored->IsMarked());
	EXPECT_TRUE(menu->ItemAt(1)->IsMarked());
	uint32 modifiers = 0;
	EXPECT_EQ(menu->ItemAt(1)->Shortcut(&modifiers), 'P');
	EXPECT_EQ(modifiers, (uint32)(B_SHIFT_KEY | B_COMMAND_KEY));
	EXPECT_NE(dynamic_cast<BSeparatorItem*>(menu->ItemAt(2)), nullptr);
	EXPECT_FALSE(menu->ItemAt(3)->IsEnabled());
	ASSERT_NE(menu->SubmenuAt(4), nullptr);
	EXPECT_STREQ(menu->ItemAt(4)->Label(), "More");
	EXPECT_NE(menu->FindItem('deep'), nullptr);

	// Still a working radio menu after the trip.
	menu->ItemAt(0)->SetMarked(true);
	EXPECT_FALSE(menu->ItemAt(1)->IsMarked());
	EXPECT_STREQ(field->MenuItem()->Label(), "a) ");
	delete field;
}
