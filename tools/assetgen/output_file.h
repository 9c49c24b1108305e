// Writing a generated file: opened before the (possibly long) work that
// fills it, so an unwritable place fails at once, and removed again when
// writing it fails, so the game never finds half a file.
#ifndef QEL_ASSETGEN_OUTPUT_FILE_H
#define QEL_ASSETGEN_OUTPUT_FILE_H

#include <cstdio>
#include <string>
#include <vector>

// The file opened for writing; null, with a message on stderr, on failure.
FILE* OpenOutput(const std::string& path);

// Writes bytes and closes the file; false, with a message, if that fails.
bool FinishOutput(FILE* f, const std::string& path,
                  const std::vector<unsigned char>& bytes);

// Closes and removes a file that could not be filled.
void AbandonOutput(FILE* f, const std::string& path);

#endif
