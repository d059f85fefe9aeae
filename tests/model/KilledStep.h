#pragma once
// The fault "the program killed": an operation of the data folder's program run in a process of
// its own (model_worker), killed with SIGKILL `op.killAfterUs` microseconds into it, and the
// program started again on what it left. The register must then hold what the model held
// before the operation or what it holds after it, never a third state.
#include "model/ModelOperations.h"

namespace zelm::model {

// Runs `op` so, on the data folder; what another program does, and the server, run as usual.
// The program has started again afterwards (the model as after a restart).
void runKilled(const Operation& op, ModelRegister& model, RegisterUnderTest& program);

} // namespace zelm::model
