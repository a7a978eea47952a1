#pragma once
// The program's licence as "--version" and the About box state it.

inline constexpr const char* kLicenceNotice =
    "Korvanto is free software: you can redistribute it and/or modify it under\n"
    "the terms of the GNU General Public License, version 3 or (at your option)\n"
    "any later version. It comes with ABSOLUTELY NO WARRANTY. See the file COPYING\n"
    "or https://www.gnu.org/licenses/gpl-3.0.html.\n";
