// Opening the help document and web pages with the user's preferred
// programs; a failure is shown in a warning alert.
#ifndef FRAMEWORK_DOCUMENTS_H
#define FRAMEWORK_DOCUMENTS_H

namespace orvik {

// Opens `file`, found in the running application's folder, with its
// preferred application. True when it opened (or that application was
// already running); otherwise an alert titled `title` says `errorPrefix`
// followed by the file's path, and the result is false.
bool show_help(const char* file, const char* title, const char* errorPrefix);

// Opens the URL in the preferred web browser (the application for
// "text/html"). URLs are limited to 255 bytes; a longer one is refused
// with the alert rather than opened cut short.
bool show_url(const char* url, const char* title, const char* errorPrefix);

}

#endif
