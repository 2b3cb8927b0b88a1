#pragma once
// The 30-instruction ps_2_0 program the executor and full-pipeline benchmarks share: two point
// reads (normal map and colour map) and Blinn-Phong point-light shading with attenuation.
// Constants c0-c6 as the benchmarks set them.
inline const char s_szProgram30[] =
    "ps_2_0\n"
    "dcl t0.xy\n"
    "dcl t1\n"
    "dcl t2\n"
    "dcl_2d s0\n"
    "dcl_2d s1\n"
    "def c7, 2, -1, 0.5, 0\n"
    "texld r0, t0, s0\n"
    "texld r1, t0, s1\n"
    "mad r1.xyz, r1, c7.x, c7.y\n"
    "nrm r2.xyz, r1\n"
    "dp3 r9.x, t1, t1\n"
    "rsq r9.y, r9.x\n"
    "mul r3.xyz, t1, r9.y\n"
    "nrm r4.xyz, t2\n"
    "dp3_sat r5.x, r2, r3\n"
    "add r6.xyz, r3, r4\n"
    "nrm r7.xyz, r6\n"
    "dp3_sat r5.y, r2, r7\n"
    "pow r5.z, r5.y, c0.w\n"
    "mul r8.xyz, r0, c1\n"
    "mul r8.xyz, r8, r5.x\n"
    "mad r8.xyz, c2, r5.z, r8\n"
    "mul r9.z, r9.x, c3.y\n"
    "mad r9.z, r9.y, c3.x, r9.z\n"
    "rcp r9.w, r9.z\n"
    "min r9.w, r9.w, c7.z\n"
    "mul r8.xyz, r8, r9.w\n"
    "mad r8.xyz, r0, c4, r8\n"
    "mul r10.x, r4.z, c5.x\n"
    "max r10.x, r10.x, c7.w\n"
    "lrp r11.xyz, r10.x, c6, r8\n"
    "mov r11.w, r0.w\n"
    "cmp r11.xyz, r5.x, r11, c7.w\n"
    "mul_sat r11.xyz, r11, c5.y\n"
    "add r11.w, r11.w, c5.z\n"
    "mov oC0, r11\n";

inline const float s_program30Constants[7 * 4] = {0, 0, 0, 16, 0.9f, 0.8f, 0.7f, 1, 0.5f, 0.5f, 0.5f, 1, 1, 0.01f, 0, 0,
                                                 0.1f, 0.1f, 0.1f, 0, 0.3f, 1.0f, 0.0f, 0, 0.2f, 0.3f, 0.4f, 1};
