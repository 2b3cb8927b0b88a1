; Particle update, one particle per vertex: v0 position, v1 velocity, v2 colour, v3 colour
; delta, v4 (lifetime, age, size, size delta).
; c0.x time step   c1 object offset (w 0)   c2 gravity   c4-c7 world (transposed)
; Out: position p = (v0 - c1) x world; t0 the new position p + velocity x step; t1 the new
; velocity, velocity + gravity x step; t2 the new colour, colour + delta x step; t3 (lifetime,
; age + step, size + size delta x step, size delta).
vs.2.0
dcl_position v0
dcl_texcoord0 v1
dcl_texcoord1 v2
dcl_texcoord2 v3
dcl_texcoord3 v4
sub r0, v0, c1
m4x4 r1, r0, c4
mov oPos, r1
mad oT0, v1, c0.x, r1
mov r3, c2
mad oT1, r3, c0.x, v1
mad oT2, v3, c0.x, v2
mov r2, v4
add r2.y, v4.y, c0.x
mad r2.z, v4.w, c0.x, v4.z
mov oT3, r2
