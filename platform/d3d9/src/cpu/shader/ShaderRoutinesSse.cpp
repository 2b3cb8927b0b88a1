// The routines for the baseline instruction set.
#define SHADER_ROUTINE_NAMESPACE ShaderRoutinesBaseline
#include "cpu/shader/ShaderRoutines.inl"
