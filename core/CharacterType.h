#pragma once

// The database client converts file names through the locale's character
// set: in the C locale no accented directory could be named at all. Each
// program's main() calls this once its application object exists (which
// sets the locale from the environment): the character type becomes UTF-8
// when the locale's is not.
void useUtf8CharacterType();
