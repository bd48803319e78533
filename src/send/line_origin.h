// Whose line a server line is: the owner's own (typed, buttons, menus, macros) or one the program
// sends by itself in answer to the server or other users. The owner's lines go first.
#pragma once

namespace tc {

enum class LineOrigin { kOwner, kAutomatic };

}  // namespace tc
