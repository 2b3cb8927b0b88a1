// The routines compiled for AVX2 (8 lanes a vector); chosen at run time when the processor has it.
#define SHADER_ROUTINE_NAMESPACE ShaderRoutinesAvx2
#include "cpu/shader/ShaderRoutines.inl"
