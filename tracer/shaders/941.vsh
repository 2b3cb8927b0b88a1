; Mesh program of the shadow-ray tracer's primary surface.
; c4-c7 world x view x projection (transposed)   c8-c11 world (transposed)   c14 mesh centre
; offset (w 0)
; In: v0 position
; Out: oPos clip position of v0 - c14   oT0 its world position
vs.2.0
dcl_position v0
sub r0, v0, c14
m4x4 oPos, r0, c4
m4x4 r1, r0, c8
mov oT0, r1
