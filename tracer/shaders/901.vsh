; Distance pass of the shadow maps: the distance from the viewer (the light) to the point.
; c2 (1, 1, 1 / depth scale, 1)   c3 (viewer position, 1)   c4-c7 world x view x projection
; c8-c11 world (both transposed)   c14 mesh centre offset (w 0)   c15 (RU0, RV0, RU1, RV1)
; Out: t0 (d, d, d / depth scale, d)   t1 (u, v, v, u) x c15
vs.2.0
dcl_position v0
dcl_texcoord0 v1
sub r0, v0, c14
m4x4 oPos, r0, c4
m4x4 r1, r0, c8
sub r2.xyz, r1, c3
dp3 r3.x, r2, r2
rsq r3.y, r3.x
rcp r3.z, r3.y
mov r4, r3.z
mul r4.z, r3.z, c2.z
mov oT0, r4
mul oT1, v1.xyyx, c15
