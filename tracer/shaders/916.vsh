; Depth pass of the shadow maps: the clip position, its z over the depth scale.
; c2 (1, 1, 1 / depth scale, 1)   c4-c7 world x view x projection (transposed)
; c14 mesh centre offset (w 0)
; Out: t0 the clip position times c2
vs.1.1
dcl_position v0
sub r0, v0, c14
dp4 r1.x, r0, c4
dp4 r1.y, r0, c5
dp4 r1.z, r0, c6
dp4 r1.w, r0, c7
mov oPos, r1
mul oT0, r1, c2
