; Matrix product quad: the position, already in clip space, and texture coordinate 0 passed through.
vs.2.0
dcl_position v0
dcl_texcoord0 v1
mov oPos, v0
mov oT0, v1
