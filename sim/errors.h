// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright (C) 2026 Kelvara developers
//
// Failures of the simulation. The program has no recovery of its own: an
// error of this type ends the handler that raised it, and the window layer
// reports it and ends the program.
#pragma once

#include <stdexcept>

namespace kelvara {

class SimulationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The floating-point status showed an invalid operation, a division by zero
// or an overflow, or a result was not finite.
class FloatingPointError : public SimulationError {
public:
    using SimulationError::SimulationError;
};

// A whole number did not fit the type it is stored in.
class OverflowError : public SimulationError {
public:
    using SimulationError::SimulationError;
};

// A control array was addressed outside its indices.
class IndexError : public SimulationError {
public:
    using SimulationError::SimulationError;
};

} // namespace kelvara
