// The program's version, set once by the build (project VERSION in CMakeLists.txt, passed as
// QV_VERSION_MAJOR and QV_VERSION_MINOR); read by the About box and the version resource.
#pragma once

#define QV_STRINGIZE_TOKENS(x) #x
#define QV_STRINGIZE(x) QV_STRINGIZE_TOKENS(x)
// "3.5"
#define QV_VERSION_TEXT QV_STRINGIZE(QV_VERSION_MAJOR.QV_VERSION_MINOR)
// "3.5.0.0". The formatter would put a space into the tokens, and so into the text.
// clang-format off
#define QV_FILE_VERSION_TEXT QV_STRINGIZE(QV_VERSION_MAJOR.QV_VERSION_MINOR.0.0)
// clang-format on
