-- wrk: one Fix Grammar request as Quillmark sends it; the token comes from the environment.
wrk.method = "POST"
wrk.body = '{"action":"fixGrammar","text":"this sentance have two mistake"}'
wrk.headers["Content-Type"] = "application/json"
wrk.headers["Authorization"] = "Bearer " .. (os.getenv("RELAY_TOKEN") or "")
wrk.headers["X-Device-Id"] = "benchmark"
wrk.headers["X-App-Version"] = "1.0"
