; Fog pass vertex program.
; c1 (first light position, 1)   c2 (mesh centre offset, 0)   c4-c7 world x view x projection
; c8-c11 world x view   c12-c15 world (all transposed)
; Out: t0 (direction to the light x, y, view position z, w)   t1 world position
;      t2 view position
vs.2.0
dcl_position v0
sub r0, v0, c2
m4x4 oPos, r0, c4
m4x4 r1, r0, c8
m4x4 r2, r0, c12
sub r3.xyz, c1, r2
nrm r4.xyz, r3
mov oT0.xy, r4
mov oT0.zw, r1
mov oT1, r2
mov oT2, r1
