#pragma once

// The busy cursor as a stack: each PushCursor shows it, the matching PopCursor takes one level
// away, and the normal cursor returns when the stack is empty.
void PushCursor();
// `all` empties the whole stack (the end of a long run, whatever was pushed before it).
// Popping an empty stack does nothing.
void PopCursor(bool all = false);
int CursorDepth();
