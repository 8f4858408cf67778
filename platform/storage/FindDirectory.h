// find_directory: where the platform's standard folders are on Linux.
//
// The mapping ($HOME is the user's home folder; $XDG_CONFIG_HOME defaults to
// $HOME/.config and $XDG_DATA_HOME to $HOME/.local/share):
//
//   B_USER_DIRECTORY, B_USER_BOOT_DIRECTORY    $HOME
//   B_DESKTOP_DIRECTORY                        $HOME/Desktop
//   B_TRASH_DIRECTORY                          $XDG_DATA_HOME/Trash/files
//   B_USER_CONFIG_DIRECTORY,
//   B_USER_SETTINGS_DIRECTORY                  $XDG_CONFIG_HOME
//   B_USER_DESKBAR_DIRECTORY                   $XDG_CONFIG_HOME/be/deskbar
//   B_USER_ADDONS_DIRECTORY                    $XDG_DATA_HOME/be/add-ons
//   B_USER_TRANSLATORS_DIRECTORY               .../add-ons/Translators
//   B_USER_MEDIA_NODES_DIRECTORY               .../add-ons/media
//   B_USER_FONTS_DIRECTORY                     $XDG_DATA_HOME/fonts
//   B_USER_LIB_DIRECTORY                       $HOME/.local/lib
//   B_USER_SOUNDS_DIRECTORY                    $XDG_DATA_HOME/sounds
//   B_COMMON_TEMP_DIRECTORY                    a private folder of this user:
//                                              $TMPDIR (or /tmp)/libbe-tmp-<uid>
//   B_COMMON_SETTINGS_DIRECTORY,
//   B_COMMON_ETC_DIRECTORY                     /etc
//   B_COMMON_VAR_DIRECTORY                     /var
//   B_COMMON_LOG_DIRECTORY                     /var/log
//   B_COMMON_SPOOL_DIRECTORY                   /var/spool
//   B_COMMON_DIRECTORY, B_COMMON_SYSTEM_DIRECTORY,
//   B_BEOS_DIRECTORY, B_BEOS_SYSTEM_DIRECTORY,
//   B_BEOS_BOOT_DIRECTORY, B_COMMON_BOOT_DIRECTORY   /usr
//   B_BEOS_BIN_DIRECTORY, B_COMMON_BIN_DIRECTORY     /usr/bin
//   B_BEOS_LIB_DIRECTORY, B_COMMON_LIB_DIRECTORY     /usr/lib
//   B_BEOS_ETC_DIRECTORY                             /etc
//   B_BEOS_FONTS_DIRECTORY, B_COMMON_FONTS_DIRECTORY /usr/share/fonts
//   B_BEOS_DOCUMENTATION_DIRECTORY,
//   B_COMMON_DOCUMENTATION_DIRECTORY                 /usr/share/doc
//   B_BEOS_SOUNDS_DIRECTORY, B_COMMON_SOUNDS_DIRECTORY /usr/share/sounds
//   B_BEOS_ADDONS_DIRECTORY, B_COMMON_ADDONS_DIRECTORY /usr/lib/be/add-ons
//   (B_*_TRANSLATORS_DIRECTORY and B_*_MEDIA_NODES_DIRECTORY below those)
//   B_BEOS_SERVERS_DIRECTORY, B_COMMON_SERVERS_DIRECTORY /usr/lib/be/servers
//   B_BEOS_APPS_DIRECTORY, B_APPS_DIRECTORY          /usr/bin
//   B_BEOS_PREFERENCES_DIRECTORY, B_PREFERENCES_DIRECTORY,
//   B_UTILITIES_DIRECTORY                            /usr/bin
//   B_COMMON_DEVELOP_DIRECTORY                       /usr/include
//
// The private temporary folder is made with mode 0700 whenever it is asked
// for (with or without `create`); an
// existing one is used only when it is a real folder (not a symbolic link)
// owned by this user and closed to others, so that another user cannot
// prepare it to take over the fixed file names made there
// (B_PERMISSION_DENIED otherwise).
//
// With `create`, missing folders of the user's own area are made (mode
// 0755; 0700 for the temporary folder). System folders are never made.
#ifndef _FIND_DIRECTORY_H
#define _FIND_DIRECTORY_H

#include <SupportDefs.h>

#include <sys/types.h>

typedef enum {
	B_DESKTOP_DIRECTORY = 0,
	B_TRASH_DIRECTORY,

	B_BEOS_DIRECTORY = 1000,
	B_BEOS_SYSTEM_DIRECTORY,
	B_BEOS_ADDONS_DIRECTORY,
	B_BEOS_BOOT_DIRECTORY,
	B_BEOS_FONTS_DIRECTORY,
	B_BEOS_LIB_DIRECTORY,
	B_BEOS_SERVERS_DIRECTORY,
	B_BEOS_APPS_DIRECTORY,
	B_BEOS_BIN_DIRECTORY,
	B_BEOS_ETC_DIRECTORY,
	B_BEOS_DOCUMENTATION_DIRECTORY,
	B_BEOS_PREFERENCES_DIRECTORY,
	B_BEOS_TRANSLATORS_DIRECTORY,
	B_BEOS_MEDIA_NODES_DIRECTORY,
	B_BEOS_SOUNDS_DIRECTORY,

	B_COMMON_DIRECTORY = 2000,
	B_COMMON_SYSTEM_DIRECTORY,
	B_COMMON_ADDONS_DIRECTORY,
	B_COMMON_BOOT_DIRECTORY,
	B_COMMON_FONTS_DIRECTORY,
	B_COMMON_LIB_DIRECTORY,
	B_COMMON_SERVERS_DIRECTORY,
	B_COMMON_BIN_DIRECTORY,
	B_COMMON_ETC_DIRECTORY,
	B_COMMON_DOCUMENTATION_DIRECTORY,
	B_COMMON_SETTINGS_DIRECTORY,
	B_COMMON_DEVELOP_DIRECTORY,
	B_COMMON_LOG_DIRECTORY,
	B_COMMON_SPOOL_DIRECTORY,
	B_COMMON_TEMP_DIRECTORY,
	B_COMMON_VAR_DIRECTORY,
	B_COMMON_TRANSLATORS_DIRECTORY,
	B_COMMON_MEDIA_NODES_DIRECTORY,
	B_COMMON_SOUNDS_DIRECTORY,

	B_USER_DIRECTORY = 3000,
	B_USER_CONFIG_DIRECTORY,
	B_USER_ADDONS_DIRECTORY,
	B_USER_BOOT_DIRECTORY,
	B_USER_FONTS_DIRECTORY,
	B_USER_LIB_DIRECTORY,
	B_USER_SETTINGS_DIRECTORY,
	B_USER_DESKBAR_DIRECTORY,
	B_USER_TRANSLATORS_DIRECTORY,
	B_USER_MEDIA_NODES_DIRECTORY,
	B_USER_SOUNDS_DIRECTORY,

	B_APPS_DIRECTORY = 4000,
	B_PREFERENCES_DIRECTORY,
	B_UTILITIES_DIRECTORY
} directory_which;

#ifdef __cplusplus
extern "C" {
#endif

// Writes the folder's path, NUL-terminated, into `buffer` of `length`
// bytes (B_NAME_TOO_LONG when it does not fit).
// `volume` is ignored: Linux has one tree.
status_t find_directory(directory_which which, dev_t volume, bool create,
                        char* buffer, int32 length);

#ifdef __cplusplus
}

class BPath;
class BVolume;

status_t find_directory(directory_which which, BPath* path, bool create = false,
                        BVolume* volume = NULL);
#endif

#endif
