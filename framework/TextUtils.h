// Small text and number helpers of the framework.
#ifndef FRAMEWORK_TEXT_UTILS_H
#define FRAMEWORK_TEXT_UTILS_H

#include <string>

namespace orvik {

// False exactly for UTF-8 continuation bytes.
bool is_char_begin_byte(char c);

// The label with its accelerator key shown: the first "a" of `format` is
// replaced by `key` and `label` appended ("a) ", "S", "Save" gives
// "S) Save"); a format without "a" gives the bare label.
std::string merge_accelerator_key(const std::string& format, const std::string& key,
                                  const std::string& label);

double abs(double x);

}

#endif
