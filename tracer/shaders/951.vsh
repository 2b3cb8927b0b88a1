; Mesh program of the G-buffer.
; c4-c7 world x view x projection (transposed)   c8-c11 world (transposed)   c14 mesh centre
; offset (w 0)   c15 (diffuse repeat U, V, bump repeat U, V)   c16 (gloss repeat U, V, -, -)
; Out: t0 world position   t1 (u RU0, v RV0, v RU1, u RV1)   t2-t4 rows of the tangent frame in
; world space   t5 gloss-map coordinates
vs.2.0
dcl_position v0
dcl_texcoord0 v1
dcl_texcoord1 v2
dcl_texcoord2 v3
dcl_texcoord3 v4
sub r0, v0, c14
m4x4 oPos, r0, c4
m4x4 oT0, r0, c8
mul oT1, v1.xyyx, c15
m3x3 r3.xyz, v2, c8
m3x3 r4.xyz, v3, c8
m3x3 r5.xyz, v4, c8
mov oT2.x, r3.x
mov oT2.y, r4.x
mov oT2.z, r5.x
mov oT3.x, r3.y
mov oT3.y, r4.y
mov oT3.z, r5.y
mov oT4.x, r3.z
mov oT4.y, r4.z
mov oT4.z, r5.z
mul oT5.xy, v1, c16
