; Layer vertex program: environment gathers around the bumped normal.
; c0 mesh centre offset (w 0)   c4-c7 world x view x projection   c8-c11 world (both transposed)
; c15 (RU0, RV0, RU1, RV1)
; Out: t0 diffuse coordinates   t1 position relative to the centre (noise coordinates)
; t2, t3, t4 the rows of the transposed tangent-to-world matrix, so that a tangent-space d turns
; to world space as (d.t2, d.t3, d.t4)   t5 bump coordinates
vs.2.0
dcl_position v0
dcl_texcoord0 v1
dcl_texcoord1 v2
dcl_texcoord2 v3
dcl_texcoord3 v4
sub r0, v0, c0
m4x4 oPos, r0, c4
mul oT0, v1, c15
mov oT1, r0
m3x3 r2.xyz, v2, c8
m3x3 r3.xyz, v3, c8
m3x3 r4.xyz, v4, c8
mov r5.x, r2.x
mov r5.y, r3.x
mov r5.z, r4.x
mov oT2.xyz, r5
mov r5.x, r2.y
mov r5.y, r3.y
mov r5.z, r4.y
mov oT3.xyz, r5
mov r5.x, r2.z
mov r5.y, r3.z
mov r5.z, r4.z
mov oT4.xyz, r5
mul oT5.xy, v1, c15.zwzw
