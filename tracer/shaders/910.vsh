; Point and spot light vertex program for flat meshes: t2 is the clip position.
; c0 (0, 0.5, 1, 2)   c1 (1/65535, 0.5, r^2, 1), r the radius of the mesh's reflection sphere
; c2 eye   c3 light position   c4-c7 world x view x projection   c8-c11 world (both transposed)
; c13 (0.1, 1, 0, 1)   c14 mesh centre offset (w 0)
; c15 (RU0, RV0, RU1, RV1)   c16 (RU2, RV2, RU3, RV3): repeats of the diffuse, bump and gloss maps
; Out: t0 diffuse xy, bump wz   t1 view vector in tangent space   t2 clip position
; t3 light vector in tangent space   t4 (d / 65535, d, d, d)   t5 world position x 0.1
; t6 unit vector towards the light   t7 gloss coordinates
vs.2.0
dcl_position v0
dcl_texcoord0 v1
dcl_texcoord1 v2
dcl_texcoord2 v3
dcl_texcoord3 v4
sub r0, v0, c14
m4x4 r11, r0, c4
mov oPos, r11
mov oT2, r11
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
; light vector L = light - w, its length d (0 at the light: 1 / rsq(0) = 1 / inf)
sub r6.xyz, c3, r1
dp3 oT3.x, r6, r2
dp3 oT3.y, r6, r3
dp3 oT3.z, r6, r4
dp3 r7.x, r6, r6
rsq r7.y, r7.x
mul oT6.xyz, r6, r7.y
rcp r7.z, r7.y
mul oT4.x, r7.z, c1.x
mov oT4.yzw, r7.z
mul oT5.xyz, r1, c13.x
mov oT5.w, r1.w
