// Uses the installed Common library: its header alone, then a few functions.
#include <Common.h>

#include <cstdio>
#include <cstring>

#ifdef QWIDGET_H
#error "Common.h must not pull in widget headers"
#endif

int main() {
    int failures = 0;
    const auto check = [&](bool ok, const char* what) {
        if (!ok) {
            std::fprintf(stderr, "consumer: %s failed\n", what);
            ++failures;
        }
    };
    check(Common::AddHead("123", '0', 5) == "00123", "AddHead");
    check(Common::CheckInteger("$1F") && !Common::CheckInteger("12a"), "CheckInteger");
    check(Common::GetMonthDays(38020.0) == 29, "GetMonthDays");  // 3 February 2004
    // The installed library file still carries its version record.
    check(Common::GetFileVersionEx(INSTALLED_LIBRARY, Common::fvFileVersion) == "1.0.3.0",
          "GetFileVersionEx");
    check(std::strstr(INSTALLED_LIBRARY, "/prefix/") != nullptr, "installed path");
    return failures == 0 ? 0 : 1;
}
