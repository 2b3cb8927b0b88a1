; Directional light vertex program.
; c0 (0, 0.5, 1, 2)   c1 (1/65535, 0.5, r^2, 1), r the radius of the mesh's reflection sphere
; c2 eye   c3 light direction   c4-c7 world x view x projection   c8-c11 world (both transposed)
; c12 sphere centre   c13 (0.1, 1, 0, 1)   c14 mesh centre offset (w 0)
; c15 (RU0, RV0, RU1, RV1)   c16 (RU2, RV2, RU3, RV3): repeats of the diffuse, bump and gloss maps
; c20-c23 view x projection   c25-c28 the shadow map's texture matrix (both transposed)
; Out: t0 diffuse xy, bump wz   t1 view vector in tangent space   t2 reflection direction
; t3 light direction in tangent space   t4 position in the camera's clip space
; t5 world position x 0.1   t6 position in the shadow map's clip space   t7 gloss coordinates
vs.2.0
dcl_position v0
dcl_texcoord0 v1
dcl_texcoord1 v2
dcl_texcoord2 v3
dcl_texcoord3 v4
sub r0, v0, c14
m4x4 oPos, r0, c4
mul oT0, v1.xyyx, c15
mul oT7.xy, v1, c16
m4x4 r1, r0, c8
m3x3 r2.xyz, v2, c8
m3x3 r3.xyz, v3, c8
m3x3 r4.xyz, v4, c8
; view vector V = eye - w
sub r5.xyz, c2, r1
dp3 oT1.x, r5, r2
dp3 oT1.y, r5, r3
dp3 oT1.z, r5, r4
; light direction in tangent space, camera and shadow-map clip positions
dp3 oT3.x, c3, r2
dp3 oT3.y, c3, r3
dp3 oT3.z, c3, r4
m4x4 oT4, r1, c20
m4x4 oT6, r1, c25
mul oT5.xyz, r1, c13.x
mov oT5.w, r1.w
; The view vector reflected about n (the normal taken as a point, less the sphere centre), then
; followed from w to where it leaves the sphere around the centre: t solves |q + t R|^2 = r^2 with
; q = w - centre; only non-negative roots count (max also turns a NaN root into 0).
nrm r6.xyz, r5
m4x4 r7, v4, c8
sub r7.xyz, r7, c12
nrm r8.xyz, r7
dp3 r9.x, r8, r6
add r9.x, r9.x, r9.x
mad r9.xyz, r9.x, r8, -r6
sub r10.xyz, r1, c12
dp3 r11.x, r9, r10
dp3 r11.y, r9, r9
dp3 r11.z, r10, r10
sub r11.z, r11.z, c1.z
mul r7.x, r11.x, r11.x
mul r7.y, r11.y, r11.z
sub r7.x, r7.x, r7.y
rsq r7.y, r7.x
mul r7.x, r7.x, r7.y
rcp r7.z, r11.y
add r7.y, r7.x, -r11.x
add r7.w, -r7.x, -r11.x
mul r7.yw, r7, r7.z
max r7.yw, r7, c0.x
add r7.y, r7.y, r7.w
mad r10.xyz, r7.y, r9, r10
nrm r11.xyz, r10
mov oT2.xyz, r11
