// Shared between the stand-in's own files: each model's reset.
#pragma once

namespace standin {
void ResetKernel();
void ResetHeap();
void ResetProfile();
void ResetDrives();
void ResetMci();
void ResetDialogs();
}  // namespace standin
