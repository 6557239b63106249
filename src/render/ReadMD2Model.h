#pragma once

#include "model/Md2Model.h"

#include <string>

// Reads the MD2 file `filename` into the caller's model and derives its flat
// arrays from frame 1. Returns 1 on success and 0 on failure, after one
// "Error: " line naming the file on stderr; a failed model is left empty.
int ReadMD2Model(const std::string &filename, Md2Model *mdl);
int ReadMD2Model(const std::string &filename, Md2Model &mdl);
