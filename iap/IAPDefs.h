// Names, codes and fields shared by every program of the family that takes
// part in the inter-application preferences, and by their common window.
//
// An item's value travels as a message: "IAP:SrcApp" (the signature of the
// program that supplied the item), "IAP:SrcIAPItem" (the item's name) and
// the value itself under the item's name.
#ifndef IAP_IAP_DEFS_H
#define IAP_IAP_DEFS_H

#include <OS.h>
#include <SupportDefs.h>

// Message codes.
enum {
	// A value changed: broadcast by the window to every application, and
	// passed on inside a program to its windows.
	kIAPValueChanged = '_ipc',
	// A program hands its items (configuration views and values) to the
	// window.
	kIAPAddComponents = 'iacr',
	// Show the window, or bring it to the front.
	kIAPActivateWindow = 'iawr',
	// A control of a configuration view changed (sent to the window's view).
	kIAPControlChanged = 'ictc'
};

inline constexpr const char kIAPFieldSrcApp[] = "IAP:SrcApp";
inline constexpr const char kIAPFieldSrcItem[] = "IAP:SrcIAPItem";

// The port of the program that owns the common window. Its presence tells
// the others that a window exists. Every record has the code 0 and holds
// one flattened message; a record of size 0 only wakes the reader.
inline constexpr const char kIAPPortName[] = "ORVIKIAPPort";
const int32 kIAPPortCapacity = 100;
const int32 kIAPPortRecordCode = 0;

// What TIAPPortManager::Port() answers before its thread made the port,
// and after the port could not be made.
const port_id kIAPPortPending = -400;
const port_id kIAPPortFailed = -500;

// The folder, under the author's settings folder, that holds one file
// "<item name>.arc" per item.
inline constexpr const char kIAPSettingsFolder[] = "Shared";

#endif
